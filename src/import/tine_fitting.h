#pragma once

#include <string>
#include <vector>

// Fits a piece's pitches to a kalimba's tines: one shift for the whole piece,
// then octave moves, and what is left has no tine.
struct TineFit {
    int shift = 0;           // semitones, -12 … +12
    int movedByOctaves = 0;  // notes moved to another octave of their pitch class
    int withoutTine = 0;     // notes whose pitch class no tine has
    std::vector<int> tines;  // per note: tine number counted from 1, 0 for none
};

// The tine pitches of a "NoteValues" list ("86,83,…"); entries that are not
// key numbers 0-127 are skipped.
std::vector<int> parseTinePitches(const std::string& noteValues);

// The shift that lets most pitches sound on a tine (ties go to the smaller
// shift in size, then upwards), and each pitch's tine under it. No tines: every
// pitch is without one.
TineFit fitToTines(const std::vector<int>& pitches, const std::vector<int>& tinePitches);
