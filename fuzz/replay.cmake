# Included by tests/: replays every fuzz corpus in the sanitized test build.
zolva_add_fuzz_replay(xml_load fuzz_xml_load.cpp LIBS zolva::xml)
if(TARGET zolva_view AND EXISTS ${PROJECT_SOURCE_DIR}/fuzz/fuzz_music_load.cpp)
  zolva_add_fuzz_replay(music_load fuzz_music_load.cpp LIBS zolva::view)
endif()
if(TARGET zolva_import)
  zolva_add_fuzz_replay(midi_import fuzz_midi_import.cpp LIBS zolva::import)
  zolva_add_fuzz_replay(musicxml_import fuzz_musicxml_import.cpp LIBS zolva::import)
endif()
