#pragma once

#include "listen/stretch_frequencies.h"

#include <map>
#include <memory>
#include <optional>
#include <span>

// The frequency of a steady tone to a fraction of a cent: the peak of its
// spectrum near a rough reading, over as much of the tone as there is (the
// longest power of two up to kLongest samples). A plucked tine wavers from
// window to window; the long look averages that out as the ear does.
class ToneRefiner {
public:
    static constexpr size_t kShortest = 2048; // 46 ms
    static constexpr size_t kLongest = 16384; // 372 ms at 44.1 kHz
    // Finer than the detector needs: a cent is a tenth of a bin here.
    static constexpr size_t kPadding = 4;

    explicit ToneRefiner(int sampleRate) : m_sampleRate(sampleRate) {}

    // The loudest peak within half a semitone of roughHz in tone (its last
    // samples); none for a tone too short or too faint to read.
    std::optional<double> refine(std::span<const float> tone, double roughHz);

private:
    const int m_sampleRate;
    std::map<size_t, std::unique_ptr<StretchFrequencies>> m_looks; // by length
};
