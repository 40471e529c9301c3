#include "heard_sounds.h"
#include "play/sound_onsets.h"

#include "play/builtin_synth.h"
#include "play/performance_audio.h"
#include "play/synth_engine.h"

#include <algorithm>
#include <cmath>

const TineTuning kC17{{86, 83, 79, 76, 72, 69, 65, 62, 60, 64, 67, 71, 74, 77, 81, 84, 88}};

namespace {

constexpr double kRate = SynthEngine::kSampleRate;
constexpr int kKalimbaProgram = 108;
constexpr int kBendRangeCents = 200; // General MIDI's default
constexpr int kCentreBend = 8192;


MidiMessage bend(int cents)
{
    const int value = std::clamp(kCentreBend + cents * kCentreBend / kBendRangeCents, 0, 16383);
    return midiMessage(0xE0, value & 0x7F, value >> 7);
}

} // namespace

double evenlyBetweenMinusOneAndOne(std::minstd_rand& random)
{
    return 2.0 * double(random() - random.min()) / double(random.max() - random.min()) - 1.0;
}

int64_t frameAt(int64_t micros)
{
    return audioFrameOf(micros);
}

Performance kalimbaPerformance(const std::vector<StruckNote>& notes)
{
    Performance p;
    p.messages.push_back({0, midiMessage(0xC0, kKalimbaProgram, 0)});
    int bent = 0;
    for (const StruckNote& note : notes) {
        if (note.cents != bent)
            p.messages.push_back({note.micros, bend(note.cents)});
        bent = note.cents;
        p.messages.push_back({note.micros, midiMessage(0x90, note.key, 100)});
    }
    p.length = p.messages.back().micros;
    return p;
}

Performance metronomePerformance(int clicks, int64_t interval)
{
    Performance p;
    for (int i = 0; i < clicks; ++i)
        p.messages.push_back({i * interval, i % 4 == 0 ? midiMessage(0x99, 76, 110) : midiMessage(0x99, 77, 80)});
    p.length = p.messages.empty() ? 0 : p.messages.back().micros;
    return p;
}

std::vector<float> renderedMono(const Performance& performance)
{
    const std::vector<float> stereo = renderSound(performance, builtInSoundFont());
    std::vector<float> sound;
    sound.reserve(stereo.size() / 2);
    for (size_t i = 0; i + 1 < stereo.size(); i += 2)
        sound.push_back(0.5f * (stereo[i] + stereo[i + 1]));
    return sound;
}

std::vector<float> whiteNoise(double seconds, double level, uint32_t seed)
{
    // Uniform noise in ±a has an RMS of a / √3.
    const double amplitude = std::pow(10.0, level / 20.0) * std::sqrt(3.0);
    std::minstd_rand random(seed);
    std::vector<float> sound(size_t(seconds * kRate));
    for (float& sample : sound)
        sample = float(amplitude * evenlyBetweenMinusOneAndOne(random));
    return sound;
}

std::vector<float> talking(double seconds, uint32_t seed)
{
    struct Vowel {
        double formants[3];
    };
    static constexpr Vowel kVowels[] = {
        {{730, 1090, 2440}}, {{270, 2290, 3010}}, {{300, 870, 2240}}, {{530, 1840, 2480}}, {{570, 840, 2410}}};
    static constexpr double kWidths[3] = {80, 90, 120};
    constexpr double kSyllable = 0.18, kPause = 0.07, kConsonant = 0.03;
    constexpr double kLoudness = 0.1;
    constexpr double kHighestHarmonic = 4000;

    std::minstd_rand random(seed);
    std::vector<float> sound(size_t(seconds * kRate), 0.0f);
    const size_t syllableFrames = size_t(kSyllable * kRate);
    for (size_t start = 0; start + syllableFrames + size_t(kConsonant * kRate) < sound.size(); start += size_t((kSyllable + kPause) * kRate)) {
        const Vowel& vowel = kVowels[size_t(evenlyBetweenMinusOneAndOne(random) * 2.5 + 2.5) % 5];
        const double fromHz = 160 + 60 * evenlyBetweenMinusOneAndOne(random), toHz = fromHz * (1 + 0.2 * evenlyBetweenMinusOneAndOne(random));
        for (size_t i = 0; i < size_t(kConsonant * kRate); ++i)
            sound[start + i] += float(0.3 * kLoudness * evenlyBetweenMinusOneAndOne(random));
        std::vector<double> phases(size_t(kHighestHarmonic / 100), 0.0);
        for (size_t i = 0; i < syllableFrames; ++i) {
            const double t = double(i) / double(syllableFrames);
            const double f0 = fromHz + (toHz - fromHz) * t;
            const double envelope = std::min(1.0, t * 8) * (1 - t) * (1 - t) * kLoudness;
            double sample = 0;
            for (size_t k = 1; k <= phases.size() && k * f0 < kHighestHarmonic; ++k) {
                double gain = 0;
                for (int f = 0; f < 3; ++f)
                    gain += 1 / std::sqrt(1 + std::pow((k * f0 - vowel.formants[f]) / kWidths[f], 2));
                phases[k - 1] += 2 * M_PI * k * f0 / kRate;
                sample += gain / double(k) * std::sin(phases[k - 1]);
            }
            sound[start + size_t(kConsonant * kRate) + i] += float(envelope * sample);
        }
    }
    return sound;
}

std::vector<float> mixed(const std::vector<float>& a, const std::vector<float>& b)
{
    std::vector<float> sum(std::max(a.size(), b.size()), 0.0f);
    for (size_t i = 0; i < sum.size(); ++i)
        sum[i] = (i < a.size() ? a[i] : 0.0f) + (i < b.size() ? b[i] : 0.0f);
    return sum;
}
