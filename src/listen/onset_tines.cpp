#include "listen/onset_tines.h"

#include "listen/stretch_frequencies.h"

#include <algorithm>
#include <cmath>

namespace {

// How far from a tine a tone may be and still be that tine.
constexpr double kTineCents = 50.0;
// Rumble, hum and the thump of a hand on the wood lie below this.
constexpr double kLowestToneHz = 80.0;
// A tone is a sharp peak: this far above the middle level of all frequencies.
constexpr double kToneAboveMiddle = 15.0; // dB
// Quieter than this is not a pluck, however clear.
constexpr double kQuietestTone = -70.0; // dBFS
// A plucked tine is this much louder than the same frequency just before,
// even when it was still ringing from an earlier pluck.
constexpr double kRise = 9.0; // dB
// A tone this much louder in the later look than in the early one began
// after the onset: it belongs to the next.
constexpr double kLateRise = 6.0; // dB
// Tones this far below the loudest new one are side lobes, echoes and
// partials of its attack.
constexpr double kWeakest = 15.0; // dB
// A tone this close to a whole multiple of a lower one is its harmonic.
constexpr double kHarmonicCents = 25.0;
constexpr int kHighestHarmonic = 12;
// New steady sound away from every tine (a voice, with its harmonics) may
// be at most this share of what lies on tines.
constexpr double kMostForeignShare = 0.5;

double power(double level)
{
    return std::pow(10.0, level / 10.0);
}

struct NewTone {
    double hz = 0.0;
    double level = 0.0;
    int tine = 0; // 0 when near no tine
};

bool isHarmonicOf(double hz, double lowerHz)
{
    const double ratio = hz / lowerHz;
    const double nearest = std::round(ratio);
    return nearest >= 2 && nearest <= kHighestHarmonic && std::fabs(1200.0 * std::log2(ratio / nearest)) <= kHarmonicCents;
}

// Tines that are harmonics of a tone on no tine sound with that tone: they
// are not tines either.
void foreignHarmonics(std::vector<NewTone>& tones)
{
    for (NewTone& tone : tones) {
        for (const NewTone& lower : tones) {
            if (lower.tine == 0 && lower.hz < tone.hz && isHarmonicOf(tone.hz, lower.hz))
                tone.tine = 0;
        }
    }
}

} // namespace

OnsetTines tinesStartedAt(const OnsetLooks& looks, const TineTuning& tuning)
{
    OnsetTines found;
    if (tuning.keys.empty())
        return found;
    double highestHz = 0.0;
    for (int key : tuning.keys)
        highestHz = std::max(highestHz, keyHz(key, tuning.referenceHz));
    const double hiHz = highestHz * std::exp2(kTineCents / 1200.0);
    const double middle = looks.after.medianLevel(kLowestToneHz, hiHz);

    std::vector<NewTone> tones;
    double loudest = kQuietestLevel;
    for (const FrequencyPeak& peak : looks.after.peaks(kLowestToneHz, hiHz)) {
        if (peak.level < kQuietestTone || peak.level < middle + kToneAboveMiddle)
            continue;
        // The same tone in the other looks: within about a tine's width.
        const double lobeHz = peak.hz * (std::exp2(kTineCents / 1200.0) - 1.0) + 4.0;
        if (peak.level - looks.before.levelNear(peak.hz, lobeHz) < kRise)
            continue;
        const double early = looks.early.levelNear(peak.hz, lobeHz);
        if (early - peak.level > looks.mostFall)
            continue;
        if (peak.level - early > kLateRise) {
            found.laterTone = true;
            continue;
        }
        const NearestTine nearest = nearestTine(peak.hz, tuning);
        tones.push_back({peak.hz, peak.level, std::fabs(nearest.cents) <= kTineCents ? nearest.tine : 0});
        loudest = std::max(loudest, peak.level);
    }
    std::erase_if(tones, [loudest](const NewTone& tone) { return tone.level < loudest - kWeakest; });
    foreignHarmonics(tones);

    double onTines = 0.0, foreign = 0.0;
    for (const NewTone& tone : tones) {
        (tone.tine ? onTines : foreign) += power(tone.level);
        if (tone.tine)
            found.tines.push_back(tone.tine);
    }
    if (foreign > kMostForeignShare * onTines)
        found.tines.clear();
    std::sort(found.tines.begin(), found.tines.end());
    found.tines.erase(std::unique(found.tines.begin(), found.tines.end()), found.tines.end());
    return found;
}
