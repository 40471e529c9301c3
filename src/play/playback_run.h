#pragma once

#include "play/note_timing.h"
#include "play/playback_thread.h"

#include <array>
#include <atomic>
#include <cstdint>

// One run of a playback thread, steps 1 to 7: the pre-scan, the count-in,
// the walk with its repeats and ties, and the end state. Everything it shares
// with other threads comes in by reference.
class PlaybackRun {
public:
    struct Shared {
        MidiSession& midi;
        PlaybackWindow& window;
        TiedViews& tied;
        PlayClock& clock;
        StopSignal& stop;
        std::atomic<bool>& playing;
        std::atomic<XPxmlNode*>& cursor;
    };

    PlaybackRun(const Shared& shared, const PlaybackSetup& setup);
    void run();

private:
    struct Deadline {
        bool set = false;
        int64_t at = 0;
    };

    void preScan();
    void countIn();
    void walk();
    // The repeat rules at a bar; the element to jump back to, or null.
    XPxmlNode* barRepeats(XPxmlNode* bar);
    Deadline playNote(XPxmlNode* note);
    Deadline restFor(XPxmlNode* element);
    void jumpBack();
    // Waits until the clock reaches deadline (at once when it is past), or
    // until Stop.
    void WaitUntilTick(int64_t deadline);
    // Waits for the end of a note or rest. Ending too late, the music starts
    // again from the moment it ends.
    void waitForEnd(int64_t deadline);
    void setCursor(XPxmlNode* element);
    void finish();
    bool playing() const { return m_shared.playing.load(); }

    Shared m_shared;
    PlaybackSetup m_setup;
    int64_t m_tempo = 120;
    XPxmlNode* m_repeatStart = nullptr;
    XPxmlNode* m_pendingClose = nullptr;
    int64_t m_repeatsLeft = 0;
    bool m_tiedOver = false;
    MusicClock m_music;
    int64_t m_lastJumpAt = -1; // the musical time of the last jump back
};
