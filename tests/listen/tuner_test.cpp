// The tuner on tones made here: pure tones at known pitches, and tines the
// built-in synthesizer plucks, in tune and detuned by the pitch bend. The
// tine it names, its cents, and how soon it reads them.
#include "heard_sounds.h"

#include "listen/tuner.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>

namespace {

constexpr double kStartAt = 0.1;    // s, after a little silence
constexpr double kReadWithin = 0.1; // s after the tone starts
constexpr double kLength = 0.8;     // s
constexpr double kPureWithin = 0.5; // cents
// The synthesizer's tines are tuned to within a few cents of their keys,
// and their pitch glides as they ring.
constexpr double kTineWithin = 5.0;
// In white noise as loud as the tone, the reading waits for a look long
// enough (93 ms) that the noise cannot move it by more than a cent or so.
constexpr double kInNoiseWithin = 2.0;
constexpr double kInNoiseReadWithin = 0.12; // s
constexpr int kRate = 44100;

// One tine plucked at kStartAt, cents off its key, the sound cut at kLength.
std::vector<float> plucked(int tine, int cents)
{
    const int64_t at = std::llround(kStartAt * 1e6);
    std::vector<float> sound = renderedMono(kalimbaPerformance({{at, kC17.keys[size_t(tine - 1)], cents}}));
    sound.resize(size_t(kLength * kRate), 0.0f);
    return sound;
}

std::vector<float> pureTone(double hz)
{
    std::vector<float> sound(size_t(kLength * kRate), 0.0f);
    for (size_t i = size_t(kStartAt * kRate); i < sound.size(); ++i)
        sound[i] = float(0.3 * std::sin(2 * M_PI * hz * double(i) / kRate));
    return sound;
}

TEST(Tuner, NamesTheTineAndItsCentsSoonAfterTheToneStarts)
{
    struct Row {
        std::string name;
        std::function<std::vector<float>()> sound;
        int tine;
        double cents;
        double within; // cents
        double readWithin = kReadWithin;
    };
    std::vector<Row> rows;
    const double c4 = keyHz(60, 440.0);
    for (double cents : {0.0, 0.4, -3.0, 10.0, -30.0, 45.0})
        rows.push_back({"pure C4 " + std::to_string(cents), [=] { return pureTone(c4 * std::exp2(cents / 1200)); },
                        9, cents, kPureWithin});
    rows.push_back({"pure A4", [] { return pureTone(440.0); }, 6, 0.0, kPureWithin});
    // The tone's RMS level is -13.5 dB of full scale.
    for (double cents : {0.0, -10.0})
        rows.push_back({"pure C4 in noise " + std::to_string(cents),
                        [=] { return mixed(pureTone(c4 * std::exp2(cents / 1200)), whiteNoise(kLength, -13.5, 7)); }, 9,
                        cents, kInNoiseWithin, kInNoiseReadWithin});
    for (int tine = 1; tine <= int(kC17.keys.size()); ++tine)
        rows.push_back({"tine " + std::to_string(tine), [=] { return plucked(tine, 0); }, tine, 0.0, kTineWithin});
    for (int cents : {3, -10, 30})
        rows.push_back({"tine 12 bent " + std::to_string(cents), [=] { return plucked(12, cents); }, 12, double(cents),
                        kTineWithin});

    for (const Row& row : rows) {
        const std::vector<float> sound = row.sound();
        Tuner tuner(kRate, kC17);
        std::optional<TunerReading> first, last;
        // In blocks of 10 ms, as a microphone hands them over.
        for (size_t at = 0; at < sound.size(); at += 441) {
            const auto block = std::span<const float>(sound).subspan(at, std::min<size_t>(441, sound.size() - at));
            if (const std::optional<TunerReading> reading = tuner.feed(block)) {
                first = first ? first : reading;
                last = reading;
            }
        }
        ASSERT_TRUE(last) << row.name;
        EXPECT_LE(double(first->frame) / kRate, kStartAt + row.readWithin) << row.name;
        EXPECT_EQ(last->nearest.tine, row.tine) << row.name;
        EXPECT_NEAR(last->nearest.cents, row.cents, row.within) << row.name;
        EXPECT_TRUE(tuner.tineCents()[size_t(row.tine - 1)]) << row.name;
        // A file source may hand everything over at once; a pure tone
        // still sounds at the end.
        Tuner atOnce(kRate, kC17);
        const std::optional<TunerReading> whole = atOnce.feed(sound);
        if (row.name.starts_with("pure")) {
            EXPECT_EQ(whole ? whole->nearest.tine : 0, row.tine) << row.name;
        }
    }
}

} // namespace
