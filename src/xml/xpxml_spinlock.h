#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

// A one-byte lock for the short critical sections of the element lists: every
// list carries one, so it must cost no more than a byte. Not recursive.
class XPxmlSpinLock {
public:
    constexpr XPxmlSpinLock() noexcept = default;
    void lock() noexcept
    {
        for (int spins = 0; m_flag.exchange(1, std::memory_order_acquire) != 0; ++spins) {
            while (m_flag.load(std::memory_order_relaxed) != 0) {
                if (++spins > 64)
                    std::this_thread::yield();
            }
        }
    }
    void unlock() noexcept { m_flag.store(0, std::memory_order_release); }

private:
    std::atomic<uint8_t> m_flag{0};
};
