#include "listen/tone_refiner.h"

#include "listen/tine_pitch.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kSearchSemitones = 0.5;
constexpr double kNearlyAsLoudDb = 6.0;
constexpr double kNoiseMoves = 1.0; // cents
// Further apart, two peaks are a glide's ripples or another sound.
constexpr double kModesApart = 10.0; // cents
// A tine rung nearly out is too faint to read to a cent.
constexpr double kQuietestReadable = -50.0; // dB of full scale

} // namespace

std::optional<double> ToneRefiner::refine(std::span<const float> tone, double roughHz)
{
    if (roughHz <= 0.0 || tone.size() < kShortest)
        return std::nullopt;
    size_t length = kShortest;
    while (length * 2 <= std::min(tone.size(), kLongest))
        length *= 2;
    std::unique_ptr<StretchFrequencies>& look = m_looks[length];
    if (!look)
        look = std::make_unique<StretchFrequencies>(length, m_sampleRate, kPadding);
    look->analyse(tone.last(length));
    const std::vector<FrequencyPeak> peaks =
        look->peaks(roughHz * std::exp2(-kSearchSemitones / 12), roughHz * std::exp2(kSearchSemitones / 12));
    const auto loudestPeak = std::ranges::max_element(peaks, {}, &FrequencyPeak::level);
    if (loudestPeak == peaks.end() || loudestPeak->level < kQuietestReadable)
        return std::nullopt;
    const double loudest = loudestPeak->level, loudestHz = loudestPeak->hz;
    // Noise moves a peak by about a bin over pi times the square root of how
    // far it stands over the noise: a look too short for the noise is held
    // back until the tone has gone on.
    const double overNoise = std::pow(10.0, (loudest - look->medianLevel(roughHz / 2, roughHz * 2)) / 10.0);
    const double binHz = double(m_sampleRate) / double(length);
    if (centsFrom(loudestHz + binHz / (M_PI * std::sqrt(overNoise)), loudestHz) > kNoiseMoves)
        return std::nullopt;
    // A tine that rings in two modes a few cents apart sounds between them:
    // the peaks nearly as loud as the loudest, weighted by their strength.
    double weighted = 0.0, weights = 0.0;
    for (const FrequencyPeak& peak : peaks) {
        if (peak.level < loudest - kNearlyAsLoudDb || std::fabs(centsFrom(peak.hz, loudestHz)) > kModesApart)
            continue;
        const double weight = std::pow(10.0, peak.level / 20.0);
        weighted += weight * peak.hz;
        weights += weight;
    }
    return weighted / weights;
}
