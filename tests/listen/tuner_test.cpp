// The tuner on tones made here: pure tones at known pitches, and tines the
// built-in synthesizer plucks, in tune and detuned by the pitch bend. The
// tine it names, its cents, and how soon it reads them.
#include "rendered_kalimba.h"

#include "listen/tuner.h"
#include "play/synth_engine.h"

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
constexpr double kTineWithin = 4.0;
constexpr int kRate = SynthEngine::kSampleRate;

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
    };
    std::vector<Row> rows;
    const double c4 = keyHz(60, 440.0);
    for (double cents : {0.0, 0.4, -3.0, 10.0, -30.0, 45.0})
        rows.push_back({"pure C4 " + std::to_string(cents), [=] { return pureTone(c4 * std::exp2(cents / 1200)); },
                        9, cents, kPureWithin});
    rows.push_back({"pure A4", [] { return pureTone(440.0); }, 6, 0.0, kPureWithin});
    for (int tine = 1; tine <= int(kKalimbaC17.size()); ++tine)
        rows.push_back({"tine " + std::to_string(tine),
                        [=] { return renderKalimba(pluck(kKalimbaC17[size_t(tine - 1)], 0.0, kStartAt), kLength); },
                        tine, 0.0, kTineWithin});
    for (double cents : {3.0, -10.0, 30.0})
        rows.push_back({"tine 12 bent " + std::to_string(cents),
                        [=] { return renderKalimba(pluck(kKalimbaC17[11], cents, kStartAt), kLength); }, 12, cents,
                        kTineWithin});

    for (const Row& row : rows) {
        const std::vector<float> sound = row.sound();
        Tuner tuner(kRate, TineTuning{kKalimbaC17});
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
        EXPECT_LE(double(first->frame) / kRate, kStartAt + kReadWithin) << row.name;
        EXPECT_EQ(last->nearest.tine, row.tine) << row.name;
        EXPECT_NEAR(last->nearest.cents, row.cents, row.within) << row.name;
        EXPECT_TRUE(tuner.tineCents()[size_t(row.tine - 1)]) << row.name;
    }
}

} // namespace
