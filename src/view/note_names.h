#pragma once

#include <cstdint>

// The pitch-class name of a MIDI key ("C", "C#" … or "C", "Db" …), by the key
// modulo 12; negative keys count down from C.
const char* noteName(int32_t key, bool flats);
