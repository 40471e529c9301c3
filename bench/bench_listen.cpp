// Playing along with the examples, listened to as a microphone would hear a
// kalimba: how many rows a waiting cursor takes (the goal: 99%, counter
// "right_ratio" = 0.99 / share taken), how many rows with a neighbouring
// tine plucked instead it takes (at most 1%: "wrong_ratio" = share / 0.01),
// the same with the timing off by up to ±30% ("jitter_ratio"), how soon a
// pluck is known (95% within 50 ms: "delay_ratio" = p95 / 50 ms), plucks
// heard in noise, talking and metronome clicks, told of or not (none:
// "false_plucks"), and
// the processor time (5% of a core: "cpu_ratio" = share / 0.05). A ratio of
// at most 1 meets its goal.
#include "percentile.h"
#include "listen/played_rows.h"

#include "listen/heard_sounds.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <random>

namespace {

constexpr double kRate = 44100.0;
constexpr size_t kBlock = 256; // a microphone's blocks, about 6 ms
constexpr double kRightGoal = 0.99;
constexpr double kWrongGoal = 0.01;
constexpr double kDelayGoal = 0.050; // s
constexpr double kCpuGoal = 0.05;
constexpr int kWrongEvery = 20; // 5% of rows
constexpr double kJitter = 0.3;

struct Listened {
    std::vector<HeardPluck> heard;
    std::vector<int64_t> knownAt; // per pluck: the frames fed when it came
    double cpuSeconds = 0.0;
};

Listened listenTo(const std::vector<float>& sound, const TineTuning& tuning, const std::vector<int64_t>& clicks = {})
{
    Listened listened;
    PluckDetector detector(int(kRate), tuning);
    for (int64_t click : clicks)
        detector.expectClick(click);
    const std::clock_t started = std::clock();
    for (size_t at = 0; at < sound.size(); at += kBlock) {
        const size_t n = std::min(kBlock, sound.size() - at);
        for (HeardPluck& pluck : detector.feed({sound.data() + at, n})) {
            listened.heard.push_back(std::move(pluck));
            listened.knownAt.push_back(int64_t(at + n));
        }
    }
    listened.cpuSeconds = double(std::clock() - started) / CLOCKS_PER_SEC;
    return listened;
}

struct Tally {
    size_t rows = 0, taken = 0;
    void add(const std::vector<bool>& rowsTaken, const std::vector<bool>& counted)
    {
        for (size_t r = 0; r < rowsTaken.size(); ++r) {
            rows += counted[r];
            taken += counted[r] && rowsTaken[r];
        }
    }
    double share() const { return rows ? double(taken) / double(rows) : 0.0; }
};

// The frames from each tine's start until the detector told of it, for the
// rows taken.
void addDelays(const PlayedPiece& piece, const Listened& listened, const std::vector<bool>& taken,
               std::vector<double>& delays)
{
    for (size_t r = 0; r < piece.rows.size(); ++r) {
        if (!taken[r])
            continue;
        const PlayedRow& row = piece.rows[r];
        for (size_t t = 0; t < row.tines.size(); ++t) {
            const int64_t start = frameAt(row.micros + row.offsets[t]);
            for (size_t p = 0; p < listened.heard.size(); ++p) {
                const HeardPluck& pluck = listened.heard[p];
                if (std::abs(pluck.frame - start) < int64_t(0.1 * kRate) &&
                    std::count(pluck.tines.begin(), pluck.tines.end(), row.tines[t])) {
                    delays.push_back(double(listened.knownAt[p] - start) / kRate);
                    break;
                }
            }
        }
    }
}

void BM_PlayAlong(benchmark::State& state)
{
    const std::vector<PlayedPiece> pieces = examplePieces();
    Tally tally;
    std::vector<double> delays;
    double cpu = 0.0, seconds = 0.0;
    for (auto _ : state) {
        for (const PlayedPiece& piece : pieces) {
            const std::vector<float> sound = renderedMono(rowsPerformance(piece.rows, piece.tuning));
            const Listened listened = listenTo(sound, piece.tuning);
            const std::vector<bool> taken = rowsTaken(piece.rows, listened.heard);
            tally.add(taken, std::vector<bool>(taken.size(), true));
            addDelays(piece, listened, taken, delays);
            cpu += listened.cpuSeconds;
            seconds += double(sound.size()) / kRate;
        }
    }
    const double p95 = percentile(delays, 0.95);
    state.counters["rows"] = double(tally.rows);
    state.counters["rows_taken"] = double(tally.taken);
    state.counters["right_ratio"] = kRightGoal / std::max(tally.share(), 1e-9);
    state.counters["delay_p95_ms"] = 1000.0 * p95;
    state.counters["delay_ratio"] = p95 / kDelayGoal;
    state.counters["cpu_share"] = cpu / seconds;
    state.counters["cpu_ratio"] = cpu / seconds / kCpuGoal;
}
BENCHMARK(BM_PlayAlong)->Iterations(1)->Unit(benchmark::kSecond);

// Each pass puts a neighbouring tine in place of one tine of a different
// twentieth of the rows.
void BM_NeighbourTine(benchmark::State& state)
{
    const std::vector<PlayedPiece> pieces = examplePieces();
    Tally wrong, right;
    for (auto _ : state) {
        for (int pass = 0; pass < 4; ++pass) {
            for (const PlayedPiece& piece : pieces) {
                std::vector<PlayedRow> played = piece.rows;
                std::vector<bool> altered(played.size(), false);
                const int tines = int(piece.tuning.keys.size());
                for (size_t r = size_t(pass * 5); r < played.size(); r += kWrongEvery) {
                    std::vector<int>& row = played[r].tines;
                    for (int step : {1, -1}) {
                        const int neighbour = row[0] + step;
                        if (neighbour >= 1 && neighbour <= tines && !std::count(row.begin(), row.end(), neighbour)) {
                            row[0] = neighbour;
                            altered[r] = true;
                            break;
                        }
                    }
                }
                const Listened listened = listenTo(renderedMono(rowsPerformance(played, piece.tuning)), piece.tuning);
                const std::vector<bool> taken = rowsTaken(piece.rows, listened.heard);
                wrong.add(taken, altered);
                std::vector<bool> unaltered(altered.size());
                std::transform(altered.begin(), altered.end(), unaltered.begin(), [](bool a) { return !a; });
                right.add(taken, unaltered);
            }
        }
    }
    state.counters["wrong_rows"] = double(wrong.rows);
    state.counters["wrong_taken"] = double(wrong.taken);
    state.counters["wrong_ratio"] = wrong.share() / kWrongGoal;
    state.counters["others_right_ratio"] = kRightGoal / std::max(right.share(), 1e-9);
}
BENCHMARK(BM_NeighbourTine)->Iterations(1)->Unit(benchmark::kSecond);

void BM_JitteredTiming(benchmark::State& state)
{
    const std::vector<PlayedPiece> pieces = examplePieces();
    Tally tally;
    std::minstd_rand random(7);
    for (auto _ : state) {
        for (const PlayedPiece& piece : pieces) {
            std::vector<PlayedRow> played = piece.rows;
            for (size_t r = 1; r < played.size(); ++r) {
                const int64_t gap = piece.rows[r].micros - piece.rows[r - 1].micros;
                played[r].micros = played[r - 1].micros +
                                   int64_t(double(gap) * (1.0 + kJitter * evenlyBetweenMinusOneAndOne(random)));
            }
            const Listened listened = listenTo(renderedMono(rowsPerformance(played, piece.tuning)), piece.tuning);
            const std::vector<bool> taken = rowsTaken(played, listened.heard);
            tally.add(taken, std::vector<bool>(taken.size(), true));
        }
    }
    state.counters["rows"] = double(tally.rows);
    state.counters["rows_taken"] = double(tally.taken);
    state.counters["jitter_ratio"] = kRightGoal / std::max(tally.share(), 1e-9);
}
BENCHMARK(BM_JitteredTiming)->Iterations(1)->Unit(benchmark::kSecond);

void BM_OtherSounds(benchmark::State& state)
{
    constexpr double kSeconds = 60.0;
    constexpr int kBeats = int(kSeconds * 2);
    constexpr int64_t kBeat = 500'000; // µs
    const TineTuning tuning = kC17;
    std::vector<int64_t> told;
    for (int beat = 0; beat < kBeats; ++beat)
        told.push_back(frameAt(beat * kBeat));
    size_t noise = 0, talk = 0, clicks = 0, clicksTold = 0;
    for (auto _ : state) {
        noise = listenTo(whiteNoise(kSeconds, -30.0, 1), tuning).heard.size();
        talk = listenTo(talking(kSeconds, 2), tuning).heard.size();
        const std::vector<float> metronome = renderedMono(metronomePerformance(kBeats, kBeat));
        clicks = listenTo(metronome, tuning).heard.size();
        clicksTold = listenTo(metronome, tuning, told).heard.size();
    }
    state.counters["noise_plucks"] = double(noise);
    state.counters["talk_plucks"] = double(talk);
    state.counters["click_plucks"] = double(clicks);
    state.counters["told_click_plucks"] = double(clicksTold);
    state.counters["false_plucks"] = double(noise + talk + clicks + clicksTold);
}
BENCHMARK(BM_OtherSounds)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
