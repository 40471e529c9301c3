# Opening a music file end to end (read, unpack, parse, complete) against
# pugixml's parse of the same plain text. The container is packed with the
# tests' libzip helper.
pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET libzip)
zolva_add_bench(bench_music_open
  SOURCES bench_music_open.cpp ${PROJECT_SOURCE_DIR}/tests/doc/container_maker.cpp
  LIBS zolva::doc pugixml::pugixml PkgConfig::LIBZIP)
target_include_directories(bench_music_open PRIVATE ${PROJECT_SOURCE_DIR}/tests/doc)
