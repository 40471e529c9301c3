# XPxml against pugixml and tinyxml2: parse speed, heap per element, walking
# the notes and destroying the document, with the ratios to the goals.
zolva_add_bench(bench_xml
  SOURCES bench_xml.cpp heap_meter.cpp xml_figures.cpp
  LIBS zolva::xml pugixml::pugixml PkgConfig::TINYXML2)
