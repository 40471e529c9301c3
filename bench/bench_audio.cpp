// A piece of strummed 17-tine chords and runs, rendered to sound as File >
// Export Audio renders it: how many times faster than real time on one core
// (the goal: 50 times, counter "goal_ratio" = 50 / speed, at most 1 meets it),
// and where every note starts in the sound against the time it was sent (the
// goal: within 1 ms, 44 frames; "onset_ratio" = worst / 44).
#include "quiet_sink.h"

#include "play/sound_onsets.h"

#include "play/builtin_synth.h"
#include "play/performance_audio.h"
#include "play/performance_render.h"
#include "play/synth_engine.h"
#include "xml/xpxml_doc.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>
#include <cstdlib>
#include <string>

namespace {

constexpr int kTines = 17;
constexpr double kSpeedGoal = 50.0;
constexpr double kOnsetGoal = 44.0; // frames

// Bars of a whole-note chord of every tine, then bars of eighth-note runs.
std::string chordsAndRuns(int repeats)
{
    std::string all;
    for (int tine = 1; tine <= kTines; ++tine)
        all += (tine > 1 ? "," : "") + std::to_string(tine);
    std::string text = "<Notes><Bar Type=\"Auto\" Timing=\"A4/4\" Tempo=\"100\"/>";
    for (int r = 0; r < repeats; ++r) {
        text += "<Note Tines=\"" + all + "\" Value=\"1\"/><Bar Type=\"Auto\"/>";
        for (int n = 0; n < 8; ++n)
            text += "<Note Tines=\"" + std::to_string(1 + (n * 5 + r) % kTines) + "\" Value=\"8\"/>";
        text += "<Bar Type=\"Auto\"/>";
    }
    return text + "</Notes>";
}

Performance performanceOf(XPxmlDoc& doc, int repeats)
{
    doc.loadText(chordsAndRuns(repeats).c_str());
    PerformanceMusic music;
    music.noteList = doc.rootElement();
    music.tineCount = kTines;
    for (int i = 0; i < kTines; ++i)
        music.tineKeys[size_t(i)] = 60 + i;
    music.metronome = true;
    QuietSink sink;
    return renderPerformance(sink, music);
}

void BM_RenderSpeed(benchmark::State& state)
{
    XPxmlDoc doc;
    const Performance performance = performanceOf(doc, int(state.range(0)));
    SynthEngine engine;
    if (!engine.loadSoundFont(builtInSoundFont())) {
        state.SkipWithError("no SoundFont");
        return;
    }
    size_t frames = 0;
    const std::clock_t started = std::clock();
    for (auto _ : state) {
        frames = 0;
        engine.reset();
        renderPerformanceAudio(performance, engine, [&frames](std::span<const float> sound) {
            frames += sound.size() / 2;
            benchmark::DoNotOptimize(sound.data());
            return true;
        });
    }
    const double cpu = double(std::clock() - started) / CLOCKS_PER_SEC / double(state.iterations());
    const double seconds = double(frames) / SynthEngine::kSampleRate;
    state.counters["sound_s"] = seconds;
    state.counters["x_real_time"] = seconds / cpu;
    state.counters["goal_ratio"] = kSpeedGoal / (seconds / cpu);
}
BENCHMARK(BM_RenderSpeed)->Arg(8)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->MinTime(2.0);

void BM_OnsetsOnTime(benchmark::State& state)
{
    XPxmlDoc doc;
    const Performance performance = performanceOf(doc, int(state.range(0)));
    double worst = 0;
    size_t count = 0, missing = 0;
    for (auto _ : state) {
        const std::vector<float> sound = renderSound(performance, builtInSoundFont());
        const std::vector<SoundOnset> onsets = soundOnsets(performance, builtInSoundFont(), sound);
        count = onsets.size();
        for (const SoundOnset& onset : onsets) {
            missing += onset.heard < 0;
            worst = std::max(worst, std::fabs(double(onset.heard - onset.scheduled)));
        }
    }
    if (missing)
        state.SkipWithError("a note was not heard");
    state.counters["onsets"] = double(count);
    state.counters["worst_frames"] = worst;
    state.counters["onset_ratio"] = worst / kOnsetGoal;
}
BENCHMARK(BM_OnsetsOnTime)->Arg(3)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
