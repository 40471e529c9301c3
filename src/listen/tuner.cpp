#include "listen/tuner.h"

#include <algorithm>
#include <cmath>

namespace {

// Below this YIN is guessing: the pluck's noise, two tines at once.
constexpr double kLeastConfidence = 0.8;
constexpr size_t kKept = size_t(ToneRefiner::kLongest + PitchReader::kWindow);

} // namespace

Tuner::Tuner(int sampleRate, TineTuning tuning)
    : m_tuning(std::move(tuning)), m_pitch(sampleRate), m_refiner(sampleRate), m_tineCents(m_tuning.keys.size())
{
    m_heard.reserve(2 * kKept);
}

void Tuner::follow(const PitchReading& reading)
{
    if (reading.hz <= 0.0 || reading.confidence < kLeastConfidence) {
        m_toneReadings = 0;
        return;
    }
    if (m_toneReadings > 0 && std::fabs(centsFrom(reading.hz, m_toneHz)) > kSameTone)
        m_toneReadings = 0;
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
    m_sinceRefined = 0;
    const size_t toneLength = size_t(std::clamp<int64_t>(m_frames - m_toneStart, 0, int64_t(m_heard.size())));
    TunerReading steady;
    steady.frame = m_frames;
    steady.hz = m_refiner.refine(std::span<const float>(m_heard).last(toneLength), m_toneHz);
    steady.nearest = nearestTine(steady.hz, m_tuning);
    if (steady.nearest.tine > 0)
        m_tineCents[size_t(steady.nearest.tine - 1)] = steady.nearest.cents;
    return steady;
}
