#pragma once

#include <cstddef>

// The test program's operator new can be told to fail: the allocation that
// many from now throws std::bad_alloc, as when memory runs out part way
// through loading a file. Only that one fails; the ones after succeed again.
namespace failingAllocations {

// Arms the failure: the allocation after `before` more succeed fails.
void failAfter(size_t before);
// Disarms it; true when the armed failure happened.
bool disarm();
// Allocations asked for since the program started, to find where a step begins.
size_t allocationCount();

} // namespace failingAllocations
