# A generated piece played through the recorder in real time: how late each
# note-on comes against the ideal schedule.
zolva_add_bench(bench_playback
  SOURCES bench_playback.cpp
  LIBS zolva::play)
