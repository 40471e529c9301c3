// The tuner hearing the 17 tines of a kalimba in C plucked one after another,
// in tune and bent by ±3, ±10 and ±30 cents, fed in 10 ms blocks as a
// microphone hands them over, clean and in a room: a 0.4 s reverb and white
// noise at -30 dB of full scale (the tines sound at about -32 dB). For each:
// - how far its readings lie from the pitch the synthesizer rendered,
//   measured apart from the tuner over the stretch each reading looked at
//   (the goal: 1 cent clean, 2 in the room; "cents_worst_ratio" and
//   "cents_p95_ratio" = cents / goal),
// - how soon after the pluck the first reading comes (100 ms:
//   "first_worst_ratio", "first_p95_ratio" = time / 100 ms),
// - the processor time per second heard (5% of a core: "cpu_ratio").
// What the room does to the sound itself is measured the same way on the
// sound heard: "heard_cents_p95" and "heard_cents_worst" are how far the
// pitch of each stretch heard lies from the rendered one, and
// "beyond_heard_p95" and "beyond_heard_worst" how far the readings lie from
// the pitch of what the tuner heard; "settled_cents_p95" holds the readings
// from a quarter second after the pluck on, once a room's echo has built up.
// A ratio of at most 1 meets its goal. "worst_tine", "latest_tine" and
// "swing_tine" name the tines behind the worst figures; "swing_cents" is the
// widest spread of one pluck's readings, "wrong_tine" counts readings that
// named another tine, "unread" plucks never read, "stretch_unknown"
// readings held against the whole tone for want of their stretch. The room
// taken apart, reverb alone, noise alone, and noise 30 dB under each tine,
// shows what costs what; the last, with the echo 10 dB under the tine, is a
// kalimba held near the microphone.
#include "loudest_sine.h"
#include "percentile.h"
#include "room_reverb.h"

#include "listen/heard_sounds.h"
#include "listen/tuner.h"
#include "play/synth_engine.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <map>
#include <optional>
#include <string>
#include <tuple>

namespace {

constexpr int kRate = SynthEngine::kSampleRate;
constexpr size_t kBlock = kRate / 100; // 10 ms
constexpr int64_t kPluckMicros = 100'000;
constexpr double kPluckSeconds = 1.1; // the pluck after a little silence, and a second of its ring
constexpr size_t kPluckFrames = size_t(kPluckSeconds * kRate);
constexpr int kDetunings[] = {0, 3, -3, 10, -10, 30, -30};
constexpr double kNoiseLevel = -30.0; // dB
// The synthesizer tunes its tines to within a few cents of their keys.
constexpr double kSearchCents = 60.0;
constexpr double kCleanGoal = 1.0; // cents
constexpr double kRoomGoal = 2.0;
constexpr double kFirstGoal = 0.100; // s
constexpr double kCpuGoal = 0.05;
constexpr double kSettledSeconds = 0.25; // after the pluck

// How the tuner hears the tines.
struct Hearing {
    enum class Noise { None, OfFullScale, UnderTine };
    const char* name;
    bool reverb = false;
    Noise noise = Noise::None;
    double goal = kRoomGoal;
    bool eachDetuning = false; // a row for each, besides all together
    double tailToDirect = 0.0;  // dB: the room's echo against the tine's own sound
};

const Hearing kHearings[] = {
    {"clean", false, Hearing::Noise::None, kCleanGoal, true},
    {"room", true, Hearing::Noise::OfFullScale, kRoomGoal, true},
    {"reverb_only", true, Hearing::Noise::None},
    {"noise_only", false, Hearing::Noise::OfFullScale},
    {"room_noise_under_tine", true, Hearing::Noise::UnderTine},
    // The kalimba held near the microphone: its echo 10 dB under it.
    {"near_noise_under_tine", true, Hearing::Noise::UnderTine, kRoomGoal, false, -10.0},
};

struct Pluck {
    int tine = 0;
    int cents = 0;
    auto operator<=>(const Pluck&) const = default;
};

// What the tuner made of one pluck.
struct Tuned {
    std::vector<double> centsOff;     // a reading's distance from the rendered pitch
    std::vector<double> heardOff;     // the heard stretch's pitch from the rendered one
    std::vector<double> beyondHeard;  // a reading's distance from the heard stretch's pitch
    std::vector<double> settledOff;   // centsOff of the readings once the echo has built up
    std::vector<double> readCents;    // each reading of the plucked tine
    std::optional<double> firstAfter; // s from the pluck to the first reading
    int wrongTine = 0;
    int stretchUnknown = 0; // readings no stretch of the tone gives back
};

struct TunedInTurn {
    std::vector<Tuned> tines; // tine 1 first
    double cpuSeconds = 0.0;
    double heardSeconds = 0.0;
};

double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + 1e-9 * double(now.tv_nsec);
}

int key(int tine)
{
    return kC17.keys[size_t(tine - 1)];
}

const std::vector<float>& dry(Pluck pluck)
{
    static std::map<Pluck, std::vector<float>> rendered;
    std::vector<float>& sound = rendered[pluck];
    if (sound.empty()) {
        sound = renderedMono(kalimbaPerformance({{kPluckMicros, key(pluck.tine), pluck.cents}}));
        sound.resize(kPluckFrames, 0.0f);
    }
    return sound;
}

double levelFromPluck(const std::vector<float>& sound)
{
    double energy = 0.0;
    const size_t from = size_t(frameAt(kPluckMicros));
    for (size_t i = from; i < sound.size(); ++i)
        energy += double(sound[i]) * double(sound[i]);
    return 10.0 * std::log10(energy / double(sound.size() - from));
}

std::vector<float> heard(Pluck pluck, const Hearing& hearing)
{
    const std::vector<float>& sound = dry(pluck);
    const uint32_t seed = uint32_t(100 * pluck.tine + pluck.cents + 50);
    std::vector<float> wet = hearing.reverb ? heardInRoom(sound, Room{.tailToDirect = hearing.tailToDirect, .seed = seed}) : sound;
    if (hearing.noise != Hearing::Noise::None) {
        const double level = kNoiseLevel + (hearing.noise == Hearing::Noise::UnderTine ? levelFromPluck(sound) : 0.0);
        wet = mixed(wet, whiteNoise(kPluckSeconds, level, seed));
        wet.resize(sound.size());
    }
    return wet;
}

// How much of the sound before a reading the tuner looked at. It does not
// say where it took the tone to begin, so of the lengths its refiner takes,
// the one that gives back the reading's pitch; none when no length does.
std::optional<size_t> lookedAt(std::span<const float> before, double readHz)
{
    constexpr double kSamePitch = 1e-3; // cents
    static ToneRefiner refiner(kRate);
    for (size_t length = ToneRefiner::kShortest; length <= std::min(ToneRefiner::kLongest, before.size()); length *= 2) {
        const std::optional<double> hz = refiner.refine(before.last(length), readHz);
        if (hz && std::fabs(centsFrom(*hz, readHz)) < kSamePitch)
            return length;
    }
    return std::nullopt;
}

// The pitch the synthesizer rendered over the stretch of length samples
// before frame (counted from the pluck's sound's start), measured apart
// from the tuner.
double renderedHz(Pluck pluck, size_t frame, size_t length)
{
    static std::map<std::tuple<Pluck, size_t, size_t>, double> measured;
    const auto [at, isNew] = measured.try_emplace({pluck, frame, length}, 0.0);
    if (isNew) {
        const auto stretch = std::span<const float>(dry(pluck)).first(frame).last(std::min(length, frame));
        const double bentHz = keyHz(key(pluck.tine), kC17.referenceHz) * std::exp2(pluck.cents / 1200.0);
        at->second = loudestSineNear(stretch, kRate, bentHz, kSearchCents);
    }
    return at->second;
}

// One tuner hears the tines plucked in turn, as a player tunes them.
TunedInTurn tunedInTurn(int cents, const Hearing& hearing)
{
    const int tines = int(kC17.keys.size());
    std::vector<float> sound;
    for (int tine = 1; tine <= tines; ++tine) {
        const std::vector<float> pluck = heard({tine, cents}, hearing);
        sound.insert(sound.end(), pluck.begin(), pluck.end());
    }
    std::vector<TunerReading> readings;
    TunedInTurn result;
    const double started = threadSeconds();
    Tuner tuner(kRate, kC17);
    for (size_t at = 0; at < sound.size(); at += kBlock)
        if (const std::optional<TunerReading> reading =
                tuner.feed(std::span<const float>(sound).subspan(at, std::min(kBlock, sound.size() - at))))
            readings.push_back(*reading);
    result.cpuSeconds = threadSeconds() - started;
    result.heardSeconds = double(sound.size()) / kRate;

    result.tines.resize(size_t(tines));
    for (const TunerReading& reading : readings) {
        const size_t frame = size_t(reading.frame);
        const size_t plucked = (frame - 1) / kPluckFrames, sinceStart = frame - plucked * kPluckFrames;
        const Pluck pluck{int(plucked) + 1, cents};
        Tuned& tuned = result.tines[plucked];
        if (reading.nearest.tine == pluck.tine)
            tuned.readCents.push_back(reading.nearest.cents);
        else
            ++tuned.wrongTine;
        // A reading whose stretch is not known is held against the whole
        // tone, as far back as the tuner looks.
        const std::optional<size_t> length = lookedAt(std::span<const float>(sound).first(frame), reading.hz);
        tuned.stretchUnknown += !length;
        const size_t looked = length.value_or(ToneRefiner::kLongest);
        const double rendered = renderedHz(pluck, sinceStart, looked);
        const double heardHz =
            loudestSineNear(std::span<const float>(sound).first(frame).last(std::min(looked, frame)), kRate, rendered, kSearchCents);
        tuned.centsOff.push_back(std::fabs(centsFrom(reading.hz, rendered)));
        tuned.heardOff.push_back(std::fabs(centsFrom(heardHz, rendered)));
        tuned.beyondHeard.push_back(std::fabs(centsFrom(reading.hz, heardHz)));
        if (int64_t(sinceStart) - frameAt(kPluckMicros) >= int64_t(kSettledSeconds * kRate))
            tuned.settledOff.push_back(tuned.centsOff.back());
        if (!tuned.firstAfter)
            tuned.firstAfter = double(int64_t(sinceStart) - frameAt(kPluckMicros)) / kRate;
    }
    return result;
}

const TunedInTurn& tunedOnce(int cents, const Hearing& hearing)
{
    static std::map<std::pair<int, std::string>, TunedInTurn> results;
    const auto found = results.find({cents, hearing.name});
    if (found != results.end())
        return found->second;
    return results.emplace(std::pair{cents, hearing.name}, tunedInTurn(cents, hearing)).first->second;
}

// The largest of values and the tine it came with.
struct Worst {
    double value = -INFINITY;
    int tine = 0;
    void take(double v, int t)
    {
        if (v > value)
            std::tie(value, tine) = std::pair{v, t};
    }
};

void report(benchmark::State& state, const Hearing& hearing, const std::vector<int>& detunings)
{
    std::vector<double> centsOff, heardOff, beyondHeard, settledOff, firsts;
    int plucks = 0, wrongTine = 0, unread = 0, stretchUnknown = 0;
    Worst worst, latest, swing;
    double cpu = 0.0, seconds = 0.0;
    for (auto _ : state) {
        for (int cents : detunings) {
            const TunedInTurn& inTurn = tunedOnce(cents, hearing);
            cpu += inTurn.cpuSeconds;
            seconds += inTurn.heardSeconds;
            for (size_t t = 0; t < inTurn.tines.size(); ++t) {
                const Tuned& tuned = inTurn.tines[t];
                const int tine = int(t) + 1;
                ++plucks;
                wrongTine += tuned.wrongTine;
                stretchUnknown += tuned.stretchUnknown;
                centsOff.insert(centsOff.end(), tuned.centsOff.begin(), tuned.centsOff.end());
                heardOff.insert(heardOff.end(), tuned.heardOff.begin(), tuned.heardOff.end());
                beyondHeard.insert(beyondHeard.end(), tuned.beyondHeard.begin(), tuned.beyondHeard.end());
                settledOff.insert(settledOff.end(), tuned.settledOff.begin(), tuned.settledOff.end());
                for (double off : tuned.centsOff)
                    worst.take(off, tine);
                if (!tuned.readCents.empty()) {
                    const auto [lo, hi] = std::minmax_element(tuned.readCents.begin(), tuned.readCents.end());
                    swing.take(*hi - *lo, tine);
                }
                if (!tuned.firstAfter) {
                    ++unread;
                    continue;
                }
                firsts.push_back(*tuned.firstAfter);
                latest.take(*tuned.firstAfter, tine);
            }
        }
    }
    const double centsWorst = percentile(centsOff, 1.0), centsP95 = percentile(centsOff, 0.95);
    const double firstWorst = percentile(firsts, 1.0), firstP95 = percentile(firsts, 0.95);
    state.counters["plucks"] = plucks;
    state.counters["readings"] = double(centsOff.size());
    state.counters["wrong_tine"] = wrongTine;
    state.counters["unread"] = unread;
    state.counters["stretch_unknown"] = stretchUnknown;
    state.counters["cents_worst"] = centsWorst;
    state.counters["cents_worst_ratio"] = centsWorst / hearing.goal;
    state.counters["cents_p95"] = centsP95;
    state.counters["cents_p95_ratio"] = centsP95 / hearing.goal;
    state.counters["worst_tine"] = worst.tine;
    state.counters["heard_cents_p95"] = percentile(heardOff, 0.95);
    state.counters["heard_cents_worst"] = percentile(heardOff, 1.0);
    state.counters["beyond_heard_p95"] = percentile(beyondHeard, 0.95);
    state.counters["beyond_heard_worst"] = percentile(beyondHeard, 1.0);
    state.counters["settled_cents_p95"] = percentile(settledOff, 0.95);
    state.counters["settled_cents_p95_ratio"] = percentile(settledOff, 0.95) / hearing.goal;
    state.counters["swing_cents"] = std::max(swing.value, 0.0);
    state.counters["swing_tine"] = swing.tine;
    state.counters["first_worst_ms"] = 1000.0 * firstWorst;
    state.counters["first_worst_ratio"] = firstWorst / kFirstGoal;
    state.counters["first_p95_ms"] = 1000.0 * firstP95;
    state.counters["first_p95_ratio"] = firstP95 / kFirstGoal;
    state.counters["latest_tine"] = latest.tine;
    state.counters["cpu_share"] = cpu / seconds;
    state.counters["cpu_ratio"] = cpu / seconds / kCpuGoal;
}

void registerConditions()
{
    const std::vector<int> all(std::begin(kDetunings), std::end(kDetunings));
    for (const Hearing& hearing : kHearings) {
        const std::string prefix = std::string("Tuner/") + hearing.name + "/";
        for (int cents : hearing.eachDetuning ? all : std::vector<int>{}) {
            const std::string name = prefix + (cents > 0 ? "+" : "") + std::to_string(cents) + "c";
            benchmark::RegisterBenchmark(name.c_str(), [&hearing, cents](benchmark::State& state) {
                report(state, hearing, {cents});
            })->Iterations(1)->Unit(benchmark::kMillisecond);
        }
        benchmark::RegisterBenchmark((prefix + "all").c_str(), [&hearing, all](benchmark::State& state) {
            report(state, hearing, all);
        })->Iterations(1)->Unit(benchmark::kMillisecond);
    }
}

} // namespace

int main(int argc, char** argv)
{
    registerConditions();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
