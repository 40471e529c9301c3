#pragma once

#include <atomic>
#include <cstddef>

// How far a long piece of work has come, read by the thread that waits for
// it, and the waiter's wish to stop it. Work that cannot say how far it is
// leaves total at 0.
struct WorkProgress {
    std::atomic<size_t> done{0};
    std::atomic<size_t> total{0};
    std::atomic<bool> cancelled{false};
};
