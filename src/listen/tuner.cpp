#include "listen/tuner.h"

#include <algorithm>
#include <cmath>

namespace {

// Below this YIN is guessing: the pluck's noise, two tines at once.
constexpr double kLeastConfidence = 0.8;
constexpr int kLongestUnsure = 8; // readings, 46 ms
constexpr size_t kKept = size_t(ToneRefiner::kLongest + PitchReader::kWindow);

} // namespace

Tuner::Tuner(int sampleRate, TineTuning tuning)
    : m_tuning(std::move(tuning)), m_pitch(sampleRate), m_refiner(sampleRate), m_tineCents(m_tuning.keys.size())
{
    m_heard.reserve(2 * kKept);
}

void Tuner::follow(const PitchReading& reading)
{
    if (reading.hz <= 0.0) {
        m_toneReadings = 0; // silence
        return;
    }
    // A tine ringing in two modes blurs a reading now and then; the tone
    // goes on unless YIN stays unsure.
    if (reading.confidence < kLeastConfidence) {
        if (++m_unsure >= kLongestUnsure)
            m_toneReadings = 0;
        return;
    }
    m_unsure = 0;
    // One reading far off is a stray partial; a few in a row are a new tone.
    if (m_toneReadings > 0 && std::fabs(centsFrom(reading.hz, m_toneHz)) > kSameTone) {
        if (++m_elsewhere < kSteadyReadings)
            return;
        m_toneReadings = 0;
    }
    m_elsewhere = 0;
    if (m_toneReadings == 0) {
        // YIN's first confident window already held the tone.
        m_toneStart = reading.frame - PitchReader::kWindow / 2;
        m_toneHz = 0.0;
        m_sinceRefined = kRefineEvery;
    }
    ++m_toneReadings;
    m_toneHz += (reading.hz - m_toneHz) / m_toneReadings;
    ++m_sinceRefined;
}

std::optional<TunerReading> Tuner::feed(std::span<const float> samples)
{
    m_heard.insert(m_heard.end(), samples.begin(), samples.end());
    if (m_heard.size() > kKept)
        m_heard.erase(m_heard.begin(), m_heard.end() - std::ptrdiff_t(kKept));
    m_frames += int64_t(samples.size());
    for (const PitchReading& reading : m_pitch.feed(samples))
        follow(reading);
    if (m_toneReadings < kSteadyReadings || m_sinceRefined < kRefineEvery)
        return std::nullopt;
    const size_t toneLength = size_t(std::clamp<int64_t>(m_frames - m_toneStart, 0, int64_t(m_heard.size())));
    const std::optional<double> hz = m_refiner.refine(std::span<const float>(m_heard).last(toneLength), m_toneHz);
    if (!hz)
        return std::nullopt;
    m_sinceRefined = 0;
    TunerReading steady;
    steady.frame = m_frames;
    steady.hz = *hz;
    steady.nearest = nearestTine(steady.hz, m_tuning);
    if (steady.nearest.tine > 0)
        m_tineCents[size_t(steady.nearest.tine - 1)] = steady.nearest.cents;
    return steady;
}
