#include "play/performance_render.h"

#include "doc/music_vocabulary.h"
#include "doc/note_steps.h"
#include "play/midi_session.h"
#include "play/note_timing.h"
#include "play/playback_window.h"
#include "play/tied_views.h"
#include "xml/xpxml_node.h"

#include <atomic>
#include <cmath>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

namespace {

// What a piece without a tempo mark plays at.
constexpr int64_t kTempoWithoutMark = 120;

// A quarter note's length at tempo, played at speed percent; 0 at a negative
// tempo, which takes no time.
int64_t microsPerQuarter(int64_t tempo, int speed)
{
    return std::llround(beatsMicros(1.0, tempo) * kNormalSpeedPercent / speed);
}

// Rendering as fast as possible: every wait ends at once with the clock at
// its deadline. A deadline past the limit, or a cancel, ends the run instead.
class RenderClock : public PlayClock {
public:
    RenderClock(int64_t limit, const std::atomic<bool>* cancelled, std::function<void()> endRun)
        : m_limit(limit), m_cancelled(cancelled), m_endRun(std::move(endRun))
    {
    }

    int64_t now() override { return m_now.load(); }
    void waitUntil(int64_t deadline, StopSignal& stop) override
    {
        if (stop.raised() || deadline <= m_now.load())
            return;
        if (m_cancelled && m_cancelled->load()) {
            m_endRun();
            return;
        }
        if (deadline > m_limit) {
            m_cut = true;
            m_endRun();
            return;
        }
        m_now = deadline;
    }
    bool cut() const { return m_cut.load(); }

private:
    std::atomic<int64_t> m_now{0};
    std::atomic<bool> m_cut{false};
    const int64_t m_limit;
    const std::atomic<bool>* m_cancelled;
    std::function<void()> m_endRun;
};

// Opens the one recorder for every device, stamped by the render's clock. The
// session owns it; it stays readable while the session lives.
class RecorderDevices : public MidiDevices {
public:
    explicit RecorderDevices(PlayClock& clock) : m_clock(clock) {}
    std::vector<MidiDeviceInfo> list() override { return {{MidiSession::kDefaultDevice, "performance"}}; }
    std::unique_ptr<MidiOutput> open(int) override
    {
        auto recorder = std::make_unique<MidiRecorder>(m_clock);
        m_recorder = recorder.get();
        return recorder;
    }
    MidiRecorder* recorder() const { return m_recorder; }

private:
    PlayClock& m_clock;
    MidiRecorder* m_recorder = nullptr;
};

// Notes the tempo at each element that sets one, when the cursor reaches it,
// and wakes the waiting caller when the run ends.
class RenderWindow : public PlaybackWindow {
public:
    RenderWindow(PlayClock& clock, int speed) : m_clock(clock), m_speed(speed) {}

    void cursorMoved(XPxmlNode* element) override
    {
        {
            std::lock_guard lock(m_mutex);
            steps.push_back({m_clock.now(), element});
        }
        std::string tempo;
        if (!element->getAttributeCopy(MusicAttr::Tempo, tempo))
            return;
        if (const int64_t micros = microsPerQuarter(readTempo(tempo.c_str()), m_speed); micros > 0)
            add({m_clock.now(), micros});
    }
    void scrollToElement(XPxmlNode*, int) override {}
    void showPlayDelay(long) override {}
    void enablePlayDelayBox(bool) override {}
    void finished() override
    {
        {
            std::lock_guard lock(m_mutex);
            m_finished = true;
        }
        m_changed.notify_all();
    }

    void waitFinished()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_finished; });
    }
    void add(PerformanceTempo change)
    {
        std::lock_guard lock(m_mutex);
        if (!tempos.empty() && tempos.back().micros == change.micros)
            tempos.back() = change;
        else
            tempos.push_back(change);
    }
    std::vector<PerformanceTempo> tempos;
    std::vector<PerformanceStep> steps;

private:
    PlayClock& m_clock;
    const int m_speed;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_finished = false;
};

} // namespace

Performance renderPerformance(MessageSink& messages, const PerformanceMusic& music, const std::atomic<bool>* cancelled)
{
    PracticeControls practice;
    practice.setSpeed(music.speed);
    practice.metronome = music.metronome;
    PlaybackThread* running = nullptr;
    RenderClock clock(kLongestPerformance, cancelled, [&running] { running->requestStop(); });
    RecorderDevices devices(clock);
    MidiSession session(messages, devices);
    session.OpenMidiOutput();
    RenderWindow window(clock, practice.speed.load());
    window.add({0, microsPerQuarter(kTempoWithoutMark, practice.speed.load())});
    TiedViews alone;

    PlaybackSetup setup;
    setup.noteList = music.noteList;
    setup.start = firstElement(music.noteList);
    setup.tineCount = music.tineCount;
    setup.tineKeys = music.tineKeys;
    setup.practice = &practice;
    setup.clicks = true;
    Performance performance;
    {
        PlaybackThread engine(session, window, alone, clock);
        running = &engine;
        if (setup.start && engine.play(setup)) {
            window.waitFinished();
            engine.stop();
        }
    }
    // Before the session closes the output, which silences every channel.
    if (devices.recorder())
        performance.messages = devices.recorder()->messages();
    performance.tempos = window.tempos;
    performance.steps = window.steps;
    performance.length = clock.now();
    performance.cut = clock.cut();
    return performance;
}
