#pragma once

#include <cstddef>

// Fixed-size slots for nodes and list storage, carved from 64 KiB chunks.
// A music file holds millions of small objects: taking them from chunks saves
// the allocator's per-object header and most of its time, and a chunk goes
// back to the system as soon as its last slot is freed.
//
// Builds with AddressSanitizer use the ordinary heap instead, so that misuse
// of a freed node is still caught.
namespace XPxmlSlab {

// List storage fits the small slots, nodes the next size; attribute stores
// take whichever fits them.
inline constexpr size_t kSmallSlotSize = 56;
inline constexpr size_t kSlotSize = 64;
inline constexpr size_t kLargestSlotSize = 256;

// A slot of at least size bytes, aligned for pointers; sizes above
// kLargestSlotSize come from the ordinary heap.
void* allocate(size_t size);
void release(void* slot, size_t size) noexcept;
// Hands the empty chunks kept for reuse back to the system.
void releaseSpareChunks() noexcept;

} // namespace XPxmlSlab
