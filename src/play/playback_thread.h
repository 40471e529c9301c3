#pragma once

#include "play/play_clock.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <chrono>
#include <cstdint>
#include <thread>

class MidiSession;
class PlaybackWindow;
struct PracticeControls;
class TiedViews;
class XPxmlNode;

// What a view hands its playback thread for one run.
struct PlaybackSetup {
    static constexpr int kMaxTines = 100;

    XPxmlNode* noteList = nullptr;  // the document's Notes element
    XPxmlNode* start = nullptr;     // cursorElement when Play was given; may be null
    int tineCount = 0;
    std::array<int32_t, kMaxTines> tineKeys{};
    long playDelay = 0;             // seconds of count-in; negative counts as 0
    // The practice tools, read as the music plays; null: the written speed,
    // no clicks.
    const PracticeControls* practice = nullptr;
    bool clicks = false;            // this thread sounds the metronome when it is on
    // Both set: play from loopFirst to loopLast (later in the list), again
    // and again until Stop.
    XPxmlNode* loopFirst = nullptr;
    XPxmlNode* loopLast = nullptr;
};

// A view's playback: plays its music from the cursor on a thread of its own,
// tells the view what to show through window, and meets the threads of other
// tied views at bar lines. The view owns it; destroying it stops the thread
// and waits for it, so the thread never outlives what it was given.
class PlaybackThread {
public:
    static constexpr std::chrono::milliseconds kStopWait{2000};
    static constexpr int kScrollLookAhead = 10;

    PlaybackThread(MidiSession& midi, PlaybackWindow& window, TiedViews& tied, PlayClock& clock);
    ~PlaybackThread();
    PlaybackThread(const PlaybackThread&) = delete;
    PlaybackThread& operator=(const PlaybackThread&) = delete;

    // Starts playing. Refused (false) while playing; a thread still winding
    // down after Stop is first waited for, so two threads never play one view.
    bool play(const PlaybackSetup& setup);
    // Stop: clears playing, cuts the thread's waits short and waits for it to
    // end, at most wait. Returns whether it has ended. The caller then closes
    // and reopens the MIDI output.
    bool stop(std::chrono::milliseconds wait = kStopWait);
    // Clears playing and cuts the waits short without waiting; the thread
    // ends on its own.
    void requestStop();

    bool isPlaying() const { return m_playing.load(); }
    // The element the thread put the cursor on last (the start element
    // before it moved it).
    XPxmlNode* cursorElement() const { return m_cursor.load(); }

private:
    void run(PlaybackSetup setup);

    MidiSession& m_midi;
    PlaybackWindow& m_window;
    TiedViews& m_tied;
    PlayClock& m_clock;
    std::atomic<bool> m_playing{false};
    std::atomic<bool> m_running{false}; // the thread has not yet done its last step
    std::atomic<XPxmlNode*> m_cursor{nullptr};
    StopSignal m_stop;
    std::mutex m_endMutex;
    std::condition_variable m_ended;
    std::thread m_thread;
};
