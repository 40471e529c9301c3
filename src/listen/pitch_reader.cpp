#include "listen/pitch_reader.h"

#include <aubio/aubio.h>

namespace {

// Quieter than this (dB) is silence: a tine rung out, the room.
constexpr float kSilenceDb = -60.0f;
// YIN's threshold: lower asks more of a period before calling it one.
constexpr float kTolerance = 0.7f;

} // namespace

struct PitchReader::Aubio {
    explicit Aubio(int sampleRate)
        : pitch(new_aubio_pitch("yinfast", kWindow, kHop, uint_t(sampleRate))), hop(new_fvec(kHop)), out(new_fvec(1))
    {
        if (pitch) {
            aubio_pitch_set_unit(pitch, "Hz");
            aubio_pitch_set_silence(pitch, kSilenceDb);
            aubio_pitch_set_tolerance(pitch, kTolerance);
        }
    }
    ~Aubio()
    {
        if (pitch)
            del_aubio_pitch(pitch);
        if (hop)
            del_fvec(hop);
        if (out)
            del_fvec(out);
    }
    bool valid() const { return pitch && hop && out; }

    aubio_pitch_t* pitch;
    fvec_t* hop;
    fvec_t* out;
};

PitchReader::PitchReader(int sampleRate) : m_aubio(std::make_unique<Aubio>(sampleRate)) {}

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
        aubio_pitch_do(m_aubio->pitch, m_aubio->hop, m_aubio->out);
        readings.push_back({m_frames, double(m_aubio->out->data[0]), double(aubio_pitch_get_confidence(m_aubio->pitch))});
    }
    return readings;
}
