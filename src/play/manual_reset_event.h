#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

// An event that stays set until it is reset, releasing every waiter at once.
// Each set is counted, so that a waiter that saw the count before a set is
// released by it even if the event was reset again before it woke.
class ManualResetEvent {
public:
    void set();
    void reset();
    // How many times the event has been set so far.
    uint64_t setCount() const;
    // Waits until the event is set, or has been set since setCount() read
    // seen, or until timeout passes or abandon() turns true (checked at every
    // wake-up, see wake()). Returns whether the event released the wait.
    template <typename Abandon>
    bool waitSince(uint64_t seen, std::chrono::milliseconds timeout, Abandon abandon);
    // Wakes every waiter without setting the event, so that they check
    // whether to give up.
    void wake();

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    uint64_t m_sets = 0;
    bool m_signalled = false;
};

template <typename Abandon>
bool ManualResetEvent::waitSince(uint64_t seen, std::chrono::milliseconds timeout, Abandon abandon)
{
    std::unique_lock lock(m_mutex);
    const auto released = [&] { return m_signalled || m_sets != seen; };
    m_changed.wait_for(lock, timeout, [&] { return released() || abandon(); });
    return released();
}
