#include "play/play_clock.h"

#include "play/realtime_priority.h"

#include <chrono>
#include <thread>

namespace {

// Taken while static objects are made, before main().
const auto kProgramStart = std::chrono::steady_clock::now();

} // namespace

int64_t midiClockMicros()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - kProgramStart)
        .count();
}

namespace {

// A sleeping thread at normal priority is woken up to a few milliseconds late
// on a busy machine: the wait sleeps until this long before the deadline and
// yields the processor from there on, so that notes start on time. A
// real-time thread wakes within a fraction of a millisecond (measured with
// bench_playback) and sleeps to the deadline: it must never spin.
constexpr std::chrono::microseconds kYieldLead{2000};

// A real-time thread that has run this long without sleeping sleeps as long:
// a run of elements that take no time must not hold a processor.
constexpr std::chrono::microseconds kLongestRun{1000};

// When the calling thread last woke from a sleep of the clock's.
thread_local std::chrono::steady_clock::time_point t_awakeSince = std::chrono::steady_clock::now();

} // namespace

void StopSignal::raise()
{
    {
        // Under the lock, so that a waiter between its check and its sleep
        // cannot miss the wake-up.
        std::lock_guard lock(m_mutex);
        m_raised = true;
    }
    m_wake.notify_all();
}

void StopSignal::clear()
{
    std::lock_guard lock(m_mutex);
    m_raised = false;
}

int64_t SteadyPlayClock::now()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void SteadyPlayClock::waitUntil(int64_t deadline, StopSignal& stop)
{
    using namespace std::chrono;
    const steady_clock::time_point until{duration_cast<steady_clock::duration>(microseconds(deadline))};
    const bool realtime = thisThreadIsRealtime();
    const steady_clock::time_point wake = realtime ? until : until - kYieldLead;
    if (wake > steady_clock::now()) {
        std::unique_lock lock(stop.m_mutex);
        const bool stopped = stop.m_wake.wait_until(lock, wake, [&] { return stop.m_raised.load(); });
        t_awakeSince = steady_clock::now();
        if (stopped)
            return;
    }
    if (realtime)
        return;
    while (steady_clock::now() < until && !stop.raised())
        std::this_thread::yield();
}

void SteadyPlayClock::prepareThread()
{
    makeThisThreadRealtime(ThreadRole::Playback);
    t_awakeSince = std::chrono::steady_clock::now();
}

void SteadyPlayClock::pace()
{
    using namespace std::chrono;
    if (!thisThreadIsRealtime() || steady_clock::now() - t_awakeSince < kLongestRun)
        return;
    std::this_thread::sleep_for(kLongestRun);
    t_awakeSince = steady_clock::now();
}
