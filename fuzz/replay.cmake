# Included by tests/: replays every fuzz corpus in the sanitized test build.
zolva_add_fuzz_replay(xml_load fuzz_xml_load.cpp LIBS zolva::xml)
if(TARGET zolva_doc AND EXISTS ${PROJECT_SOURCE_DIR}/fuzz/fuzz_music_load.cpp)
  zolva_add_fuzz_replay(music_load fuzz_music_load.cpp LIBS zolva::doc)
endif()
