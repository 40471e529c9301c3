#include "listen/tuner.h"

#include <algorithm>
#include <cmath>

namespace {

// Below this YIN is guessing: the pluck's noise, two tines at once.
constexpr double kLeastConfidence = 0.8;
constexpr int kLongestUnsure = 8; // readings, 46 ms
constexpr size_t kKept = size_t(ToneRefiner::kLongest + PitchReader::kWindow);
// Tones this far beyond the tuning's lowest and highest tines are none of
// its tines: the pluck's click, a hiss.
constexpr double kBeyondTines = 600.0; // cents
// YIN hears the tines' range and a little more: the edges of its band.
constexpr double kBandMargin = 1.5;
// How the pluck's start is found behind the tone: the level in steps of
// kLevelStep samples, no further back than kOnsetSearch, quieter by
// kQuieterThanTone than the tone now.
constexpr int64_t kLevelStep = 256;
constexpr int64_t kOnsetSearch = 2 * PitchReader::kWindow;
constexpr double kQuieterThanTone = 0.01; // in energy, 20 dB

double energy(std::span<const float> samples)
{
    double sum = 0.0;
    for (float sample : samples)
        sum += double(sample) * double(sample);
    return sum;
}

// The tones that may be tines of tuning: from a little below its lowest to
// a little above its highest.
std::pair<double, double> tineRange(const TineTuning& tuning)
{
    if (tuning.keys.empty())
        return {0.0, INFINITY};
    const auto [lowest, highest] = std::minmax_element(tuning.keys.begin(), tuning.keys.end());
    return {keyHz(*lowest, tuning.referenceHz) * std::exp2(-kBeyondTines / 1200.0),
        keyHz(*highest, tuning.referenceHz) * std::exp2(kBeyondTines / 1200.0)};
}

} // namespace

Tuner::Tuner(int sampleRate, TineTuning tuning)
    : m_tuning(std::move(tuning)), m_range(tineRange(m_tuning)),
      m_pitch(sampleRate, m_range.first / kBandMargin, m_range.second * kBandMargin), m_refiner(sampleRate),
      m_tineCents(m_tuning.keys.size())
{
    m_heard.reserve(2 * kKept);
}

int64_t Tuner::pluckedBefore(int64_t frame) const
{
    // A soft tine rings a while before YIN is sure of it: its tone began at
    // the pluck, where the sound rose from far quieter.
    const int64_t heardFrom = m_frames - int64_t(m_heard.size());
    const auto levelEnding = [&](int64_t end) {
        return energy(std::span<const float>(m_heard).subspan(size_t(end - kLevelStep - heardFrom), size_t(kLevelStep)));
    };
    const int64_t heardTo = std::min(frame, m_frames);
    if (heardTo - kLevelStep >= heardFrom) {
        const double tone = levelEnding(heardTo);
        for (int64_t end = heardTo - kLevelStep; end - kLevelStep >= std::max(heardFrom, frame - kOnsetSearch); end -= kLevelStep)
            if (levelEnding(end) < kQuieterThanTone * tone)
                return end;
    }
    return frame - PitchReader::kWindow / 2; // YIN's first sure window already held the tone
}

void Tuner::follow(const PitchReading& reading)
{
    if (reading.hz <= 0.0) {
        m_toneReadings = 0; // silence
        return;
    }
    if (reading.hz < m_range.first || reading.hz > m_range.second)
        return;
    // A tine ringing in two modes blurs a reading now and then; the tone
    // goes on unless YIN stays unsure.
    if (reading.confidence < kLeastConfidence) {
        if (++m_unsure >= kLongestUnsure)
            m_toneReadings = 0;
        return;
    }
    m_unsure = 0;
    // Once a tone is steady, one reading far off is a stray partial; a few in
    // a row are a new tone. Before, the tone was a guess.
    if (m_toneReadings > 0 && std::fabs(centsFrom(reading.hz, m_toneHz)) > kSameTone) {
        if (m_toneReadings >= kSteadyReadings && ++m_elsewhere < kSteadyReadings)
            return;
        m_toneReadings = 0;
    }
    m_elsewhere = 0;
    if (m_toneReadings == 0) {
        m_toneStart = pluckedBefore(reading.frame);
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
