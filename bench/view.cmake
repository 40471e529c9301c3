# Bar timing and layout of generated music, against pugixml's walk over the
# same file reading two attributes per element.
zolva_add_bench(bench_layout
  SOURCES bench_layout.cpp
  LIBS zolva::view pugixml::pugixml)
