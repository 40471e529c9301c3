#include "heap_meter.h"

#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

// Replaces the global operator new and delete of the benchmark program so that
// what goes through them can be counted. Sizes come from malloc_usable_size, so
// an unsized delete subtracts exactly what its new added.

namespace {
std::atomic<bool> g_counting{false};
std::atomic<long long> g_newBytes{0};

void* allocate(std::size_t size) noexcept
{
    void* p = std::malloc(size ? size : 1);
    if (p && g_counting.load(std::memory_order_relaxed))
        g_newBytes.fetch_add(static_cast<long long>(malloc_usable_size(p)), std::memory_order_relaxed);
    return p;
}

void release(void* p) noexcept
{
    if (!p)
        return;
    if (g_counting.load(std::memory_order_relaxed))
        g_newBytes.fetch_sub(static_cast<long long>(malloc_usable_size(p)), std::memory_order_relaxed);
    std::free(p);
}

void* allocateOrThrow(std::size_t size)
{
    if (void* p = allocate(size))
        return p;
    throw std::bad_alloc();
}
} // namespace

namespace heapmeter {
long long mallocInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long long>(info.uordblks + info.hblkhd);
}

long long newInUse()
{
    return g_newBytes.load(std::memory_order_relaxed);
}

void setNewCounting(bool on)
{
    g_counting.store(on, std::memory_order_relaxed);
}
} // namespace heapmeter

void* operator new(std::size_t size) { return allocateOrThrow(size); }
void* operator new[](std::size_t size) { return allocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { release(p); }
