#pragma once

#include "play/performance_render.h"

#include <cstdint>
#include <string>
#include <vector>

// A performance's sound, interleaved stereo at the engine's rate.
std::vector<float> renderSound(const Performance& performance, const std::string& soundFont);

struct SoundOnset {
    int64_t scheduled = 0; // the frame the note-on was sent at
    int64_t heard = -1;    // the first frame its sound is in
};

// Where each note-on's sound starts in sound (performance rendered whole),
// found in the audio: the first frame at which sound differs from the sound
// of everything sent before that note-on, rendered apart. Note-ons sent
// together make one onset.
std::vector<SoundOnset> soundOnsets(const Performance& performance, const std::string& soundFont,
                                    const std::vector<float>& sound);
