// Which tines a pluck sounded and when, heard in kalimba notes the built-in
// synthesizer plays, and nothing heard in silence, noise, talking and
// metronome clicks.
#include "heard_sounds.h"

#include "listen/pluck_detector.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr int kRate = 44100;
// A strum's later tines may come with its first.
constexpr int64_t kFrameTolerance = kRate * 25 / 1000;
constexpr int64_t kKnownWithin = kRate * 50 / 1000;
constexpr int64_t kClickWait = kRate * 25 / 1000;

struct Tine {
    int64_t micros;
    int tine;
};

std::vector<StruckNote> struck(const std::vector<Tine>& tines, int cents = 0)
{
    std::vector<StruckNote> notes;
    for (const Tine& t : tines)
        notes.push_back({t.micros, kC17.keys[size_t(t.tine - 1)], cents});
    return notes;
}

std::vector<float> kalimba(const std::vector<Tine>& tines, int cents = 0)
{
    return renderedMono(kalimbaPerformance(struck(tines, cents)));
}

// Tines on the beats of the metronome, both in one performance.
std::vector<float> onTheBeats(const std::vector<Tine>& tines, int beats)
{
    Performance both = kalimbaPerformance(struck(tines));
    const Performance clicks = metronomePerformance(beats, 500'000);
    both.messages.insert(both.messages.end(), clicks.messages.begin(), clicks.messages.end());
    std::stable_sort(both.messages.begin(), both.messages.end(),
                     [](const RecordedMidiMessage& a, const RecordedMidiMessage& b) { return a.micros < b.micros; });
    return renderedMono(both);
}

std::vector<Tine> everyTineLowToHigh()
{
    std::vector<int> tines;
    for (int tine = 1; tine <= int(kC17.keys.size()); ++tine)
        tines.push_back(tine);
    std::sort(tines.begin(), tines.end(), [](int a, int b) { return kC17.keys[size_t(a - 1)] < kC17.keys[size_t(b - 1)]; });
    std::vector<Tine> played;
    for (size_t i = 0; i < tines.size(); ++i)
        played.push_back({100'000 + int64_t(i) * 400'000, tines[i]});
    return played;
}

TEST(PluckDetector, HearsTheTinesPluckedAndNothingElse)
{
    struct Row {
        const char* name;
        std::vector<float> sound;
        std::vector<Tine> heard;
        std::vector<int64_t> clicksTold; // µs
    };
    const std::vector<Tine> range = everyTineLowToHigh();
    const std::vector<Tine> chords = {{100'000, 4}, {100'000, 9}, {700'000, 13}, {700'000, 11}, {1'300'000, 5}, {1'300'000, 6}};
    const std::vector<Tine> triad = {{100'000, 9}, {100'000, 10}, {100'000, 11}, {700'000, 1}, {700'000, 3}, {700'000, 5}};
    // Low to high, 18 ms apart, as Play strums.
    const std::vector<Tine> strum = {{100'000, 7}, {118'000, 12}, {136'000, 14}, {900'000, 5}, {918'000, 3}, {936'000, 1}};
    const std::vector<Tine> again = {{100'000, 4}, {400'000, 4}, {700'000, 4}};
    const std::vector<Tine> three = {{100'000, 9}, {600'000, 4}, {1'100'000, 17}};
    const std::vector<Tine> beats = {{0, 4}, {500'000, 9}, {1'000'000, 13}, {1'500'000, 5}, {2'000'000, 17}, {2'500'000, 1}};
    std::vector<int64_t> clicks;
    for (int beat = 0; beat < 8; ++beat)
        clicks.push_back(beat * 500'000);

    const std::vector<Row> rows = {
        {"every tine, low to high", kalimba(range), range, {}},
        {"two tines at once", kalimba(chords), chords, {}},
        {"three tines at once", kalimba(triad), triad, {}},
        {"three tines strummed, twice", kalimba(strum), strum, {}},
        {"a tine again while it rings", kalimba(again), again, {}},
        {"10 cents sharp", kalimba(three, 10), three, {}},
        {"10 cents flat", kalimba(three, -10), three, {}},
        {"30 cents sharp", kalimba(three, 30), three, {}},
        {"30 cents flat", kalimba(three, -30), three, {}},
        {"a key between two tines", renderedMono(kalimbaPerformance({{100'000, 61}, {600'000, 70}})), {}, {}},
        {"60 cents from the nearest tine", renderedMono(kalimbaPerformance({{100'000, 60, 60}})), {}, {}},
        {"a tine in noise", mixed(kalimba({{100'000, 9}}), whiteNoise(2.0, -30, 1)), {{100'000, 9}}, {}},
        {"noise alone", whiteNoise(3.0, -30, 2), {}, {}},
        {"talking", talking(6.0, 3), {}, {}},
        {"metronome clicks", renderedMono(metronomePerformance(8, 500'000)), {}, {}},
        {"metronome clicks told", renderedMono(metronomePerformance(8, 500'000)), {}, clicks},
        {"tines on the beats, clicks told", onTheBeats(beats, 8), beats, clicks},
        {"silence", std::vector<float>(2 * kRate, 0.0f), {}, {}},
    };
    // Blocks of sizes that fit nothing the detector works in.
    const size_t blocks[] = {100, 37, 211};
    for (const Row& row : rows) {
        PluckDetector detector(kRate, kC17);
        for (int64_t click : row.clicksTold)
            detector.expectClick(frameAt(click));
        struct Heard {
            int64_t frame;
            int tine;
            int64_t fedBefore; // frames fed before the block it came with
        };
        std::vector<Heard> heard;
        size_t at = 0;
        for (size_t b = 0; at < row.sound.size(); ++b) {
            const size_t n = std::min(blocks[b % 3], row.sound.size() - at);
            at += n;
            for (const HeardPluck& pluck : detector.feed({row.sound.data() + at - n, n}))
                for (int tine : pluck.tines)
                    heard.push_back({pluck.frame, tine, int64_t(at - n)});
        }
        const int64_t knownWithin = kKnownWithin + (row.clicksTold.empty() ? 0 : kClickWait);
        for (const Tine& wanted : row.heard) {
            const int64_t start = frameAt(wanted.micros);
            const auto match = std::find_if(heard.begin(), heard.end(), [&](const Heard& h) {
                return h.tine == wanted.tine && std::abs(h.frame - start) <= kFrameTolerance;
            });
            if (match == heard.end()) {
                ADD_FAILURE() << row.name << ": tine " << wanted.tine << " at " << wanted.micros << " µs not heard";
                continue;
            }
            EXPECT_LT(match->fedBefore - start, knownWithin) << row.name << ": tine " << wanted.tine;
            heard.erase(match);
        }
        for (const Heard& extra : heard)
            ADD_FAILURE() << row.name << ": tine " << extra.tine << " heard at frame " << extra.frame;
    }
}

} // namespace
