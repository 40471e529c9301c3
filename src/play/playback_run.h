#pragma once

#include "play/count_in.h"
#include "play/note_timing.h"
#include "play/playback_thread.h"
#include "doc/measure_beats.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

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

    struct Click {
        int64_t at = 0;
        bool accent = false;
    };

    void preScan();
    void countIn();
    // In beats of the bar the music starts in, at the speed it plays, while
    // the metronome is on; in seconds with it off or when a beat takes no time.
    CountIn countInClicks(long delay) const;
    void walk();
    // Back to the loop's first row with its repeats, tempo and beat afresh.
    XPxmlNode* restartLoop();
    // The tempo in force at element: its own, or the nearest before it.
    int64_t tempoAt(XPxmlNode* element) const;
    // The time signature and the beat within the bar at element, which is
    // not a bar itself.
    void placeInBar(XPxmlNode* element);
    double pickupBeats(XPxmlNode* bar) const;
    // Length of a note or rest in beats of the bar's time signature; 0 for
    // anything that takes no time.
    double barBeats(XPxmlNode* element) const;
    // The metronome's beats inside an element of beats starting now and
    // lasting micros: the one at its start sounds at once, the others wait
    // for waitForEnd.
    void scheduleClicks(double beats, double micros);
    bool clicking() const;
    void click(bool accent);
    // Written time × 100 / speed.
    double stretch() const;
    // The repeat rules at a bar; the element to jump back to, or null.
    XPxmlNode* barRepeats(XPxmlNode* bar);
    // The plays after the first that a closing bar asks for; 0: until Stop.
    static int64_t repeatsOf(XPxmlNode* bar);
    // The first pass of a section is shown on its closing bar once a look
    // ahead from the section's start finds it. The look ahead moves a few
    // elements with each element played, so a long piece never waits for it.
    void lookAheadFrom(XPxmlNode* element);
    void lookAhead();
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
    int64_t m_passes = 0; // of the pending section: 0 until Stop
    int64_t m_pass = 0;
    XPxmlNode* m_lookAhead = nullptr; // the next element to look at
    XPxmlNode* m_firstPassBar = nullptr; // a closing bar showing pass 1
    bool m_tiedOver = false;
    MusicClock m_music;
    int64_t m_lastJumpAt = -1; // the musical time of the last jump back
    TimeSignature m_signature;
    double m_barBeat = 0; // where the next element starts in its bar, in beats
    std::vector<Click> m_clicks; // due inside the element playing
    bool m_clicked = false;
};
