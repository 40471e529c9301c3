#include "failing_allocations.h"

#include <atomic>
#include <cstdlib>
#include <new>

// Replaces every form of the global operator new and delete of the test
// program, so that any allocation can be made to fail; deletes pair with the
// news below, whatever the sanitizer's own operators would expect.

namespace {

std::atomic<bool> g_armed{false};
std::atomic<long long> g_left{0};
std::atomic<bool> g_failed{false};
std::atomic<size_t> g_count{0};

bool failsNow()
{
    g_count.fetch_add(1, std::memory_order_relaxed);
    if (!g_armed.load(std::memory_order_relaxed))
        return false;
    if (g_left.fetch_sub(1, std::memory_order_relaxed) != 0)
        return false;
    g_armed.store(false, std::memory_order_relaxed);
    g_failed.store(true, std::memory_order_relaxed);
    return true;
}

void* allocate(std::size_t size, std::size_t alignment = 0) noexcept
{
    if (failsNow())
        return nullptr;
    if (size == 0)
        size = 1;
    if (alignment <= alignof(std::max_align_t))
        return std::malloc(size);
    return std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
}

void* allocateOrThrow(std::size_t size, std::size_t alignment = 0)
{
    if (void* p = allocate(size, alignment))
        return p;
    throw std::bad_alloc();
}

} // namespace

namespace failingAllocations {

void failAfter(size_t before)
{
    g_failed.store(false, std::memory_order_relaxed);
    g_left.store((long long)before, std::memory_order_relaxed);
    g_armed.store(true, std::memory_order_relaxed);
}

bool disarm()
{
    g_armed.store(false, std::memory_order_relaxed);
    return g_failed.load(std::memory_order_relaxed);
}

size_t allocationCount()
{
    return g_count.load(std::memory_order_relaxed);
}

} // namespace failingAllocations

void* operator new(std::size_t size) { return allocateOrThrow(size); }
void* operator new[](std::size_t size) { return allocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new(std::size_t size, std::align_val_t a) { return allocateOrThrow(size, std::size_t(a)); }
void* operator new[](std::size_t size, std::align_val_t a) { return allocateOrThrow(size, std::size_t(a)); }
void* operator new(std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept
{
    return allocate(size, std::size_t(a));
}
void* operator new[](std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept
{
    return allocate(size, std::size_t(a));
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
