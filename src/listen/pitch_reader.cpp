#include "listen/pitch_reader.h"

#include <aubio/aubio.h>

#include <algorithm>
#include <cmath>

namespace {

// Quieter than this (dB) is silence: a tine rung out, the room.
constexpr float kSilenceDb = -60.0f;
// YIN's threshold: lower asks more of a period before calling it one.
constexpr float kTolerance = 0.7f;

// Each edge of the band falls by 12 dB an octave per section.
constexpr int kLowPassSections = 2;

enum class Pass { Low, High };

// A second-order Butterworth section (the audio cookbook's form).
aubio_filter_t* butterworth(Pass pass, double cornerHz, int sampleRate)
{
    const double w = 2.0 * M_PI * cornerHz / sampleRate, alpha = std::sin(w) / std::sqrt(2.0), c = std::cos(w);
    const double a0 = 1.0 + alpha, edge = pass == Pass::Low ? (1.0 - c) / 2.0 : (1.0 + c) / 2.0;
    const double b1 = pass == Pass::Low ? 1.0 - c : -(1.0 + c);
    return new_aubio_filter_biquad(edge / a0, b1 / a0, edge / a0, -2.0 * c / a0, (1.0 - alpha) / a0);
}

} // namespace

struct PitchReader::Aubio {
    Aubio(int sampleRate, double lowHz, double highHz)
        : pitch(new_aubio_pitch("yinfast", kWindow, kHop, uint_t(sampleRate))), hop(new_fvec(kHop)), out(new_fvec(1))
    {
        if (pitch) {
            aubio_pitch_set_unit(pitch, "Hz");
            aubio_pitch_set_silence(pitch, kSilenceDb);
            aubio_pitch_set_tolerance(pitch, kTolerance);
        }
        if (lowHz > 0.0)
            band.push_back(butterworth(Pass::High, lowHz, sampleRate));
        if (highHz > 0.0 && 2.0 * highHz < sampleRate)
            for (int i = 0; i < kLowPassSections; ++i)
                band.push_back(butterworth(Pass::Low, highHz, sampleRate));
    }
    ~Aubio()
    {
        for (aubio_filter_t* filter : band)
            if (filter)
                del_aubio_filter(filter);
        if (pitch)
            del_aubio_pitch(pitch);
        if (hop)
            del_fvec(hop);
        if (out)
            del_fvec(out);
    }
    bool valid() const { return pitch && hop && out && std::ranges::find(band, nullptr) == band.end(); }

    aubio_pitch_t* pitch;
    fvec_t* hop;
    fvec_t* out;
    std::vector<aubio_filter_t*> band;
};

PitchReader::PitchReader(int sampleRate, double lowHz, double highHz)
    : m_aubio(std::make_unique<Aubio>(sampleRate, lowHz, highHz))
{
}

PitchReader::~PitchReader() = default;

std::vector<PitchReading> PitchReader::feed(std::span<const float> samples)
{
    std::vector<PitchReading> readings;
    if (!m_aubio->valid())
        return readings;
    for (float sample : samples) {
        m_aubio->hop->data[m_filled++] = sample;
        ++m_frames;
        if (m_filled < kHop)
            continue;
        m_filled = 0;
        for (aubio_filter_t* filter : m_aubio->band)
            aubio_filter_do(filter, m_aubio->hop);
        aubio_pitch_do(m_aubio->pitch, m_aubio->hop, m_aubio->out);
        readings.push_back({m_frames, double(m_aubio->out->data[0]), double(aubio_pitch_get_confidence(m_aubio->pitch))});
    }
    return readings;
}
