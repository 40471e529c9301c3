#include "view/table_memory.h"

#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

#if defined(__linux__)
constexpr size_t kHugePage = size_t(2) << 20;
// Smaller blocks the C library keeps for reuse once freed, their pages
// touched already; larger ones go back to the system and come fresh.
constexpr size_t kReusedBelow = size_t(32) << 20;

bool inHugePages(size_t bytes)
{
    return bytes >= kReusedBelow;
}

size_t wholeHugePages(size_t bytes)
{
    return (bytes + kHugePage - 1) & ~(kHugePage - 1);
}
#endif

} // namespace

void* allocateTable(size_t bytes)
{
#if defined(__linux__)
    if (inHugePages(bytes)) {
        if (bytes > size_t(-1) - kHugePage)
            throw std::bad_alloc();
        const size_t whole = wholeHugePages(bytes);
        void* table = std::aligned_alloc(kHugePage, whole);
        if (!table)
            throw std::bad_alloc();
        madvise(table, whole, MADV_HUGEPAGE); // only advice: refused, the table still works
        return table;
    }
#endif
    return ::operator new(bytes);
}

void releaseTable(void* table, size_t bytes) noexcept
{
#if defined(__linux__)
    if (inHugePages(bytes)) {
        std::free(table);
        return;
    }
#endif
    ::operator delete(table);
}
