# XPxml against pugixml and tinyxml2: parse speed, heap per element, walking
# the notes and destroying the document, with the ratios to the goals.
zolva_add_bench(bench_xml
  SOURCES bench_xml.cpp heap_meter.cpp xml_figures.cpp
  LIBS zolva::xml pugixml::pugixml PkgConfig::TINYXML2)

# XPxml on text shaped to make a parser slow, against an ordinary music file of
# the same size: the ratio of their parse times per byte.
zolva_add_bench(bench_xml_hostile
  SOURCES bench_xml_hostile.cpp
  LIBS zolva::xml)
target_include_directories(bench_xml_hostile PRIVATE ${PROJECT_SOURCE_DIR}/tests/xml)
