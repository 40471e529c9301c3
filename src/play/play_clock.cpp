#include "play/play_clock.h"

#include <chrono>
#include <thread>

namespace {

// A sleeping thread is woken up to a few milliseconds late on a busy
// machine: the wait sleeps until this long before the deadline and yields
// the processor from there on, so that notes start on time.
constexpr std::chrono::microseconds kYieldLead{2000};

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
    {
        std::unique_lock lock(stop.m_mutex);
        if (stop.m_wake.wait_until(lock, until - kYieldLead, [&] { return stop.m_raised.load(); }))
            return;
    }
    while (steady_clock::now() < until && !stop.raised())
        std::this_thread::yield();
}
