#pragma once

#if defined(__GLIBC__)
#include <malloc.h>
#endif

// Keeps memory a benchmark frees inside the process for its next run: by
// default the C library hands the top of the heap back to the system after a
// large document is destroyed, and the next load then spends more time on the
// kernel's first touch of every page than on parsing, by an amount that swings
// from run to run. Every library measured gets the same heap.
inline void keepFreedMemory()
{
#if defined(__GLIBC__)
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
#endif
}
