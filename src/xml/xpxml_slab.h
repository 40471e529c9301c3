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

inline constexpr size_t kSlotSize = 72;

// A slot of at least size bytes (size up to kSlotSize), aligned for pointers.
void* allocate(size_t size);
void release(void* slot, size_t size) noexcept;

} // namespace XPxmlSlab
