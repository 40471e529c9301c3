#pragma once

#include <memory>
#include <span>

// The frequency of a steady tone to a fraction of a cent: the peak of its
// spectrum near a rough reading, over as much of the tone as there is (up to
// kLongest samples, zero-padded), found by aubio's FFT and placed between
// bins by a parabola through the log magnitudes. A plucked tine wavers from
// window to window; the long look averages that out as the ear does.
class ToneRefiner {
public:
    static constexpr int kLongest = 16384; // 372 ms at 44.1 kHz
    static constexpr int kPadded = 65536;

    explicit ToneRefiner(int sampleRate);
    ~ToneRefiner();
    ToneRefiner(const ToneRefiner&) = delete;
    ToneRefiner& operator=(const ToneRefiner&) = delete;

    // The peak within half a semitone of roughHz in tone (its last kLongest
    // samples); roughHz when there is none.
    double refine(std::span<const float> tone, double roughHz);

private:
    struct Aubio;
    std::unique_ptr<Aubio> m_aubio;
    const int m_sampleRate;
};
