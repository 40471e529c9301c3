#pragma once

#include <cstddef>

// What a piece of code leaves allocated on the heap, seen two ways. glibc's
// own accounting covers malloc and operator new alike, chunk overhead
// included, whichever library allocates; the operator new count shows how
// much of it went through new.
struct HeapGrowth {
    long long mallocBytes = 0;
    long long newBytes = 0;
};

namespace heapmeter {
long long mallocInUse();
long long newInUse();
// Counting costs an atomic add per allocation, so it stays off while timing.
void setNewCounting(bool on);
} // namespace heapmeter

template <class Work>
HeapGrowth measureHeapGrowth(Work&& work)
{
    heapmeter::setNewCounting(true);
    const long long mallocBefore = heapmeter::mallocInUse();
    const long long newBefore = heapmeter::newInUse();
    work();
    HeapGrowth growth{heapmeter::mallocInUse() - mallocBefore, heapmeter::newInUse() - newBefore};
    heapmeter::setNewCounting(false);
    return growth;
}
