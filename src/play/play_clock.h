#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

// Microseconds since the program started: the time stamps of MIDI messages
// and the clock the synthesizer's rest and held messages go by.
int64_t midiClockMicros();

// Raised by Stop so that a playback thread's waits end at once instead of
// sleeping out a note or a second of the count-in.
class StopSignal {
public:
    void raise();
    void clear();
    bool raised() const { return m_raised.load(); }

private:
    friend class SteadyPlayClock;
    std::atomic<bool> m_raised{false};
    std::mutex m_mutex;
    std::condition_variable m_wake;
};

// The clock playback schedules by, in microseconds. The program uses the
// steady clock; tests bring one that jumps to each deadline.
class PlayClock {
public:
    virtual ~PlayClock() = default;
    virtual int64_t now() = 0;
    // Returns when the clock reads deadline or later, or as soon as stop is
    // raised; a deadline already past returns at once.
    virtual void waitUntil(int64_t deadline, StopSignal& stop) = 0;
    // Called on a playback thread before it keeps time by this clock.
    virtual void prepareThread() {}
    // Called at every element a playback thread walks, whether it takes time
    // or not.
    virtual void pace() {}
};

// The steady clock. A playback thread asks for real-time scheduling before
// it keeps time by it; once real-time, it never runs longer than a
// millisecond without sleeping (pace() makes it sleep), so that a fault in
// it cannot hold a processor.
class SteadyPlayClock : public PlayClock {
public:
    int64_t now() override;
    void waitUntil(int64_t deadline, StopSignal& stop) override;
    void prepareThread() override;
    void pace() override;
};
