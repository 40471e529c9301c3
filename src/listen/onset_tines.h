#pragma once

#include "listen/tine_pitch.h"

#include <vector>

class StretchFrequencies;

// The sound around an onset, looked at three times: the stretch just before
// it, one that ends a little after it, and one that ends later still.
struct OnsetLooks {
    const StretchFrequencies& before;
    const StretchFrequencies& early;
    const StretchFrequencies& after;
    double mostFall = 0.0; // dB a tine may lose from the early look to the later
};

struct OnsetTines {
    std::vector<int> tines; // 1-based, ascending
    bool laterTone = false; // a tone began only after the onset
};

// The tines that started sounding at the onset: tones that rose out of what
// sounded before, ring on steadily as a tine does, and lie within 50 cents
// of a tine. Nothing when most of the new steady sound lies away from every
// tine, as a voice's fundamental and harmonics do.
OnsetTines tinesStartedAt(const OnsetLooks& looks, const TineTuning& tuning);
