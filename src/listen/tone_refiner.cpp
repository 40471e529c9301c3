#include "listen/tone_refiner.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kSearchSemitones = 0.5;
constexpr double kNearlyAsLoudDb = 6.0;
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
    double loudest = kQuietestLevel;
    for (const FrequencyPeak& peak : peaks)
        loudest = std::max(loudest, peak.level);
    if (loudest < kQuietestReadable)
        return std::nullopt;
    // A tine that rings in two modes a few cents apart sounds between them:
    // the peaks nearly as loud as the loudest, weighted by their strength.
    double weighted = 0.0, weights = 0.0;
    for (const FrequencyPeak& peak : peaks) {
        if (peak.level < loudest - kNearlyAsLoudDb)
            continue;
        const double weight = std::pow(10.0, peak.level / 20.0);
        weighted += weight * peak.hz;
        weights += weight;
    }
    return weighted / weights;
}
