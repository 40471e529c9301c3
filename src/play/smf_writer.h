#pragma once

#include <string>

struct Performance;

inline constexpr int kSmfTicksPerQuarter = 480;

// A performance as the bytes of a Standard MIDI File, format 1: a track of
// its tempos, then a track of its messages at their times. A key struck again
// while it sounds is first released, and releases of keys not sounding and
// repeated program changes are left out, so that every note in the file has
// one start and one end.
std::string standardMidiFile(const Performance& performance);
