# Playing along with the examples as a microphone would hear them: rows the
# cursor takes, wrong tines it refuses, delay and processor time.
zolva_add_bench(bench_listen
  SOURCES bench_listen.cpp played_rows.cpp played_rows.h
    ${PROJECT_SOURCE_DIR}/tests/listen/heard_sounds.cpp
  LIBS zolva::listen zolva::play zolva::view)
target_compile_definitions(bench_listen PRIVATE ZOLVA_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
