// Plays a generated piece (mixed values, dotted notes, triplets, tempo
// changes, one repeated section) on the steady clock and measures each
// note-on against the ideal schedule worked out here independently.
// Arguments: the piece's least length in seconds (it always has six groups of
// 24 notes, about 50 s), 1 to keep another core busy, the speed in percent and
// 1 for the metronome, whose clicks are measured against every beat. The
// playback thread asks for real-time scheduling as in the program; the label
// says what it got (run as an unprivileged user to see it without).

#include "percentile.h"

#include "doc/message_sink.h"
#include "play/midi_recorder.h"
#include "play/midi_session.h"
#include "play/play_clock.h"
#include "play/playback_thread.h"
#include "play/playback_window.h"
#include "play/practice_controls.h"
#include "play/tied_views.h"
#include "xml/xpxml_doc.h"

#include <QLoggingCategory>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cmath>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Piece {
    std::string text;
    std::vector<double> idealMicros;  // note-on times in play order, from the first
    std::vector<double> clickMicros;  // a click on every beat of each bar, the same way
};

// Values and their lengths in quarter beats, cycled through.
struct Step {
    const char* value;
    const char* more;
    double beats;
};
const Step kSteps[] = {
    {"4", "", 1.0},  {"8", "", 0.5},  {"8", "", 0.5}, {"4.", "", 1.5}, {"8", "", 0.5},
    {"8", "Tuplet=\"3\"", 1.0 / 3}, {"8", "Tuplet=\"3\"", 1.0 / 3}, {"8", "Tuplet=\"3\"", 1.0 / 3},
    {"16", "", 0.25}, {"16", "", 0.25}, {"8..", "", 0.875}, {"32", "", 0.125},
};
const int kTempos[] = {120, 96, 140, 108, 132};

Piece makePiece(double seconds)
{
    struct Element {
        std::string text;
        bool isNote = false;
        double micros = 0;
        double beats = 0;
    };
    std::vector<Element> list;
    double total = 0;
    size_t step = 0;
    int tempo = kTempos[0];
    size_t openAt = 0, closeAt = 0;
    // At least six groups, so that the repeat (groups 2 and 3) is always there.
    for (int group = 0; total < seconds * 1e6 || group < 6; ++group) {
        tempo = kTempos[size_t(group) % std::size(kTempos)];
        std::string bar = "<Bar Tempo=\"" + std::to_string(tempo) + "\"";
        if (group == 2) {
            bar += " Modifier=\"OpenRepeat\"";
            openAt = list.size();
        }
        if (group == 4) {
            bar += " Modifier=\"CloseRepeat\"";
            closeAt = list.size();
        }
        list.push_back({bar + "/>"});
        for (int n = 0; n < 24; ++n, ++step) {
            const Step& s = kSteps[step % std::size(kSteps)];
            const double micros = s.beats * 60e6 / tempo;
            list.push_back({"<Note Tines=\"" + std::to_string(1 + int(step % 5)) + "\" Value=\"" + s.value + "\" " +
                                s.more + "/>",
                            true, micros, s.beats});
            total += micros;
        }
    }
    Piece piece;
    piece.text = "<Notes>";
    for (const Element& e : list)
        piece.text += e.text;
    piece.text += "<Note Tines=\"1\" Value=\"4\"/></Notes>"; // the last note-on ends the schedule

    std::vector<size_t> order;
    for (size_t i = 0; i < closeAt; ++i)
        order.push_back(i);
    for (size_t i = openAt; i < list.size(); ++i)
        order.push_back(i);
    double at = 0;
    double beat = 0; // in the bar
    for (size_t i : order) {
        if (!list[i].isNote) {
            beat = 0;
            continue;
        }
        piece.idealMicros.push_back(at);
        const double microsPerBeat = list[i].micros / list[i].beats;
        for (double b = std::ceil(beat - 1e-6); b < beat + list[i].beats - 1e-6; ++b)
            piece.clickMicros.push_back(at + (b - beat) * microsPerBeat);
        beat += list[i].beats;
        at += list[i].micros;
    }
    piece.idealMicros.push_back(at);
    piece.clickMicros.push_back(at); // the last note starts on a beat of its own
    return piece;
}

struct QuietSink : MessageSink {
    void showMessage(const std::string&) override {}
    bool askYesNo(const std::string&, const std::string&) override { return true; }
};

struct RecorderDevices : MidiDevices {
    std::shared_ptr<MidiRecorder> recorder = std::make_shared<MidiRecorder>();
    std::vector<MidiDeviceInfo> list() override { return {{-1, "recorder"}}; }
    std::unique_ptr<MidiOutput> open(int) override
    {
        struct Handle : MidiOutput {
            std::shared_ptr<MidiRecorder> r;
            void setVolume(uint32_t v) override { r->setVolume(v); }
            void send(MidiMessage m) override { r->send(m); }
            void close() override {}
        };
        auto h = std::make_unique<Handle>();
        h->r = recorder;
        return h;
    }
};

struct EndWindow : PlaybackWindow {
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    void cursorMoved(XPxmlNode*) override {}
    void scrollToElement(XPxmlNode*, int) override {}
    void showPlayDelay(long) override {}
    void enablePlayDelayBox(bool) override {}
    void finished() override
    {
        std::lock_guard lock(mutex);
        done = true;
        ended.notify_all();
    }
};

// The playback thread's line of the real-time log, logged once per change.
std::mutex realtimeMutex;
std::string realtimeLine = "no real-time log line";

void keepRealtimeLine(QtMsgType, const QMessageLogContext& context, const QString& text)
{
    if (context.category && std::string(context.category) == "zolva.realtime" && text.startsWith("playback")) {
        std::lock_guard lock(realtimeMutex);
        realtimeLine = text.toStdString();
    }
}

void BM_PlaybackLateness(benchmark::State& state)
{
    static const bool logging = [] {
        QLoggingCategory::setFilterRules(QStringLiteral("zolva.realtime.info=true"));
        qInstallMessageHandler(keepRealtimeLine);
        return true;
    }();
    (void)logging;
    const Piece piece = makePiece(double(state.range(0)));
    XPxmlDoc doc;
    doc.loadText(piece.text.c_str());
    std::atomic<bool> busy{state.range(1) != 0};
    std::thread burner([&] {
        while (busy.load()) {
        }
    });

    std::vector<double> late;
    std::vector<double> clickLate;
    double drift = 0;
    for (auto _ : state) {
        QuietSink sink;
        RecorderDevices devices;
        MidiSession session(sink, devices);
        session.OpenMidiOutput();
        EndWindow window;
        TiedViews tied;
        SteadyPlayClock clock;
        PlaybackThread engine(session, window, tied, clock);
        PlaybackSetup setup;
        setup.noteList = doc.rootElement();
        setup.start = doc.rootElement()->firstElementChild();
        PracticeControls practice;
        practice.setSpeed(int(state.range(2)));
        practice.metronome = state.range(3) != 0;
        setup.practice = &practice;
        setup.clicks = true; // the only view, so the one that clicks
        setup.tineCount = 5;
        for (int i = 0; i < 5; ++i)
            setup.tineKeys[size_t(i)] = 60 + i;
        engine.play(setup);
        {
            std::unique_lock lock(window.mutex);
            window.ended.wait(lock, [&] { return window.done; });
        }
        engine.stop();

        // Notes on channel 1, clicks on channel 10, each against its schedule
        // stretched by the speed.
        std::vector<int64_t> ons;
        std::vector<int64_t> clicks;
        for (const RecordedMidiMessage& m : devices.recorder->messages()) {
            if (midiStatus(m.message) == 0x90 && midiData2(m.message) > 0)
                ons.push_back(m.micros);
            if (midiStatus(m.message) == 0x99 && midiData2(m.message) > 0)
                clicks.push_back(m.micros);
        }
        const bool clicking = state.range(3) != 0;
        if (ons.size() != piece.idealMicros.size() || (clicking && clicks.size() != piece.clickMicros.size())) {
            std::fprintf(stderr, "%zu of %zu notes, %zu of %zu clicks\n", ons.size(), piece.idealMicros.size(),
                         clicks.size(), piece.clickMicros.size());
            state.SkipWithError("note-ons or clicks and schedule differ in length");
            break;
        }
        const double stretch = 100.0 / double(state.range(2));
        for (size_t i = 0; i < ons.size(); ++i)
            late.push_back(double(ons[i] - ons[0]) - piece.idealMicros[i] * stretch);
        for (size_t i = 0; i < clicks.size(); ++i)
            clickLate.push_back(double(clicks[i] - ons[0]) - piece.clickMicros[i] * stretch);
        drift = late.back();
    }
    busy = false;
    burner.join();
    if (late.empty())
        return;
    {
        std::lock_guard lock(realtimeMutex);
        state.SetLabel(realtimeLine);
    }
    state.counters["notes"] = double(piece.idealMicros.size());
    state.counters["median_late_ms"] = percentile(late, 0.5) / 1000;
    state.counters["p99_late_ms"] = percentile(late, 0.99) / 1000;
    state.counters["max_late_ms"] = percentile(late, 1.0) / 1000;
    state.counters["end_drift_ms"] = drift / 1000;
    if (!clickLate.empty()) {
        state.counters["click_p99_late_ms"] = percentile(clickLate, 0.99) / 1000;
        state.counters["click_max_late_ms"] = percentile(clickLate, 1.0) / 1000;
    }
}

} // namespace

BENCHMARK(BM_PlaybackLateness)
    ->ArgNames({"seconds", "busy_core", "speed", "metronome"})
    ->Args({180, 0, 100, 0})
    ->Args({180, 1, 100, 0})
    ->Args({0, 0, 100, 0})
    ->Args({0, 1, 100, 0})
    ->Args({0, 0, 100, 1})
    ->Args({0, 0, 50, 1})
    ->Args({0, 0, 200, 1})
    ->Args({0, 1, 60, 1})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

BENCHMARK_MAIN();
