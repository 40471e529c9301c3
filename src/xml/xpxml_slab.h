#pragma once

#include <cstddef>
#include <cstdint>

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

// Carves slots of any size one after another from chunks of its own, without
// a lock: a parse makes each element and its attributes side by side, in the
// order a walk reads them. A carved slot is released with release() like any
// other, from any thread; its chunk goes back once every slot carved from it
// is released and the carver has moved on. One thread uses a carver.
class Carver {
public:
    Carver() = default;
    ~Carver();
    Carver(const Carver&) = delete;
    Carver& operator=(const Carver&) = delete;

    // As allocate(size).
    void* allocate(size_t size)
    {
        size = (size + 7) & ~size_t(7);
        if (size <= kLargestSlotSize && size <= size_t(m_end - m_next)) {
            void* slot = m_next;
            m_next += size;
            ++m_carved;
            return slot;
        }
        return allocateSlow(size);
    }

private:
    void* allocateSlow(size_t size);
    void retire() noexcept;

    void* m_chunk = nullptr;
    char* m_next = nullptr;
    char* m_end = nullptr;
    uint32_t m_carved = 0; // slots handed out from m_chunk
};

} // namespace XPxmlSlab
