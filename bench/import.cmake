# Importing a MIDI file of 10k notes against opening the same music as a
# music file; the memory a million notes take on the way.
zolva_add_bench(bench_import
  SOURCES bench_import.cpp heap_meter.cpp heap_meter.h ${PROJECT_SOURCE_DIR}/tests/import/midi_bytes.cpp
  LIBS zolva::import)
target_include_directories(bench_import PRIVATE ${PROJECT_SOURCE_DIR}/tests/import)
