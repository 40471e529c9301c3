# Playing along with the examples as a microphone would hear them: rows the
# cursor takes, wrong tines it refuses, delay and processor time.
zolva_add_bench(bench_listen
  SOURCES bench_listen.cpp ${PROJECT_SOURCE_DIR}/tests/listen/played_rows.cpp
    ${PROJECT_SOURCE_DIR}/tests/listen/heard_sounds.cpp ${PROJECT_SOURCE_DIR}/tests/play/sound_onsets.cpp
  LIBS zolva::listen zolva::play zolva::view)
target_compile_definitions(bench_listen PRIVATE ZOLVA_SOURCE_DIR="${PROJECT_SOURCE_DIR}")

# The tuner on every tine plucked in tune and detuned, clean and in a room:
# its cents against the pitch rendered, how soon it reads, processor time.
zolva_add_bench(bench_tuner
  SOURCES bench_tuner.cpp loudest_sine.cpp loudest_sine.h percentile.h room_reverb.cpp room_reverb.h
    ${PROJECT_SOURCE_DIR}/tests/listen/heard_sounds.cpp ${PROJECT_SOURCE_DIR}/tests/play/sound_onsets.cpp
  LIBS zolva::listen zolva::play)
