#pragma once

#include "recording_sink.h"

#include "play/midi_session.h"
#include "play/play_clock.h"
#include "play/playback_thread.h"
#include "play/playback_window.h"
#include "play/tied_views.h"
#include "xml/xpxml_doc.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

inline constexpr int64_t QUARTER_NOTE_DURATION = 500000; // µs, 120 bpm
inline constexpr int64_t SECOND = 1000000;               // µs

// A clock that jumps to every deadline at once. onWait, when set, sees each
// deadline before the jump (tests stop the engine from it).
class JumpingClock : public PlayClock {
public:
    int64_t now() override { return m_now.load(); }
    void waitUntil(int64_t deadline, StopSignal& stop) override;
    // A stalled thread: the clock reads at afterwards (when that is later).
    void stallUntil(int64_t at);
    void pace() override { ++paces; }
    std::function<void(int64_t deadline)> onWait;
    std::atomic<int> paces{0};

private:
    std::atomic<int64_t> m_now{1000 * SECOND};
};

struct StampedMessage {
    int64_t micros = 0;
    MidiMessage message = 0;
};

// Devices whose outputs stamp every message with a clock's time.
class StampedDevices : public MidiDevices {
public:
    explicit StampedDevices(PlayClock& clock) : m_clock(clock) {}
    std::vector<MidiDeviceInfo> list() override { return {{-1, "stamped"}}; }
    std::unique_ptr<MidiOutput> open(int id) override;
    std::vector<StampedMessage> messages() const;
    // The note-ons that sound (velocity above 0).
    std::vector<StampedMessage> sounded() const;

private:
    class Output;
    PlayClock& m_clock;
    mutable std::mutex m_mutex;
    std::vector<StampedMessage> m_messages;
};

// Keeps every call as a word, with the clock's time, and lets a test wait for
// the end of a run.
class RecordingWindow : public PlaybackWindow {
public:
    struct Call {
        std::string what;      // "cursor", "scroll", "delay", "box", "finished"
        XPxmlNode* element = nullptr;
        long number = 0;       // look-ahead, seconds, or box enabled
        int64_t micros = 0;
    };

    explicit RecordingWindow(PlayClock& clock) : m_clock(clock) {}
    void cursorMoved(XPxmlNode* element) override { add({"cursor", element, 0}); }
    void scrollToElement(XPxmlNode* element, int lookAhead) override { add({"scroll", element, lookAhead}); }
    void showPlayDelay(long seconds) override { add({"delay", nullptr, seconds}); }
    void enablePlayDelayBox(bool enabled) override { add({"box", nullptr, enabled ? 1 : 0}); }
    void finished() override { add({"finished", nullptr, 0}); }

    std::vector<Call> calls() const;
    std::vector<Call> callsOf(const std::string& what) const;
    // Waits (real time, at most timeoutMs) for the count-th "finished".
    bool waitFinished(int count = 1, int timeoutMs = 20000) const;

private:
    void add(Call call);
    PlayClock& m_clock;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_added;
    std::vector<Call> m_calls;
};

// One view's worth of playback over a note list given as text: five tines
// sounding keys 60 … 64.
struct PlaybackRig {
    static constexpr int kTines = 5;

    PlaybackRig(const std::string& notes, PlayClock& clock, TiedViews& tied);

    // The elements of the note list, in order.
    XPxmlNode* at(int index) const;
    int indexOf(const XPxmlNode* element) const;
    PlaybackSetup setup(int startIndex, long playDelay = 0) const;
    // Starts at startIndex (-1: no cursor) and waits for the run to end.
    void playThrough(int startIndex, long playDelay = 0);
    // The elements the cursor was put on, as indexes.
    std::vector<int> cursorOrder() const;
    // The keys sounded, and when, relative to the first.
    std::vector<int> soundedKeys() const;
    std::vector<int64_t> soundedTimes() const;

    XPxmlDoc doc;
    RecordingSink sink;
    StampedDevices devices;
    MidiSession session{sink, devices};
    RecordingWindow window;
    std::vector<XPxmlNode*> elements;
    PlaybackThread engine;
};

// Tests on the jumping clock: load() makes a fresh rig for each case.
struct JumpingPlayback : ::testing::Test {
    JumpingClock clock;
    TiedViews tied;
    std::unique_ptr<PlaybackRig> rig;

    PlaybackRig& load(const std::string& notes)
    {
        rig = std::make_unique<PlaybackRig>(notes, clock, tied);
        return *rig;
    }
};

// Element texts for note lists.
std::string note(int tine, const std::string& value = "4", const std::string& more = "");
std::string rest(const std::string& value = "4", const std::string& more = "");
std::string bar(const std::string& more = "");
std::string repeatBar(const std::string& modifier, const std::string& more = "");
