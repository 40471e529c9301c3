#pragma once

#include <vector>

// The tines of a document as the listener hears them: tine 1, 2, … sound the
// MIDI keys in keys, tuned from the reference A4.
struct TineTuning {
    std::vector<int> keys;
    double referenceHz = 440.0;
};

inline constexpr double kLowestReferenceHz = 415.0;
inline constexpr double kHighestReferenceHz = 466.0;

// The frequency of MIDI key at reference A4.
double keyHz(int key, double referenceHz);

// How far hz lies above (cents > 0) or below the frequency wanted.
double centsFrom(double hz, double wantedHz);

struct NearestTine {
    int tine = 0;       // 1-based; 0 when the tuning has none
    double cents = 0.0; // how far the sound is from it
};

// The tine whose key lies nearest to hz (of equal keys, the first).
NearestTine nearestTine(double hz, const TineTuning& tuning);
