# A generated piece played through the recorder in real time: how late each
# note-on comes against the ideal schedule.
zolva_add_bench(bench_playback
  SOURCES bench_playback.cpp
  LIBS zolva::play)

# A piece of strummed 17-tine chords rendered to sound as File > Export Audio
# renders it: speed against real time, and every onset found in the sound
# against the time its note was sent.
zolva_add_bench(bench_audio
  SOURCES bench_audio.cpp ${PROJECT_SOURCE_DIR}/tests/play/sound_onsets.cpp
  LIBS zolva::play)
