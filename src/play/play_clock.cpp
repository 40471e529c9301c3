#include "play/play_clock.h"

#include <chrono>

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
    std::unique_lock lock(stop.m_mutex);
    stop.m_wake.wait_until(lock, until, [&] { return stop.m_raised.load(); });
}
