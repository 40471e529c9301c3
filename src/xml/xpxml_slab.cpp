#include "xml/xpxml_slab.h"

#include "xml/xpxml_spinlock.h"

#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define XPXML_SLAB_BYPASS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define XPXML_SLAB_BYPASS 1
#endif
#endif

#if defined(_WIN32)
#include <malloc.h>
#endif

namespace {

constexpr size_t kChunkSize = size_t(64) << 10;

struct FreeSlot {
    FreeSlot* next;
};

struct Chunk {
    Chunk* prevPartial = nullptr; // chunks with freed slots to hand out
    Chunk* nextPartial = nullptr;
    FreeSlot* freeSlots = nullptr;
    uint32_t live = 0;   // slots handed out and not yet freed
    uint32_t bumped = 0; // slots ever carved from the unused tail
    bool inPartial = false;
};

constexpr size_t kHeaderSize = (sizeof(Chunk) + 15) & ~size_t(15);
constexpr uint32_t kSlotsPerChunk = uint32_t((kChunkSize - kHeaderSize) / XPxmlSlab::kSlotSize);

char* slotAt(Chunk* chunk, uint32_t index)
{
    return reinterpret_cast<char*>(chunk) + kHeaderSize + size_t(index) * XPxmlSlab::kSlotSize;
}

Chunk* chunkOf(void* slot)
{
    return reinterpret_cast<Chunk*>(reinterpret_cast<uintptr_t>(slot) & ~uintptr_t(kChunkSize - 1));
}

Chunk* newChunk()
{
#if defined(_WIN32)
    void* memory = _aligned_malloc(kChunkSize, kChunkSize);
#else
    void* memory = std::aligned_alloc(kChunkSize, kChunkSize);
#endif
    if (!memory)
        throw std::bad_alloc();
    return new (memory) Chunk;
}

void freeChunk(Chunk* chunk)
{
    chunk->~Chunk();
#if defined(_WIN32)
    _aligned_free(chunk);
#else
    std::free(chunk);
#endif
}

// All state under one lock: loading happens on one thread at a time, and the
// critical sections are a handful of instructions.
struct Pool {
    XPxmlSpinLock lock;
    Chunk* current = nullptr; // the chunk whose tail is being carved
    Chunk* partial = nullptr; // list of chunks holding freed slots

    void linkPartial(Chunk* chunk)
    {
        chunk->inPartial = true;
        chunk->prevPartial = nullptr;
        chunk->nextPartial = partial;
        if (partial)
            partial->prevPartial = chunk;
        partial = chunk;
    }

    void unlinkPartial(Chunk* chunk)
    {
        if (chunk->prevPartial)
            chunk->prevPartial->nextPartial = chunk->nextPartial;
        else
            partial = chunk->nextPartial;
        if (chunk->nextPartial)
            chunk->nextPartial->prevPartial = chunk->prevPartial;
        chunk->inPartial = false;
    }

    void* allocate()
    {
        std::lock_guard<XPxmlSpinLock> guard(lock);
        if (Chunk* chunk = partial) {
            FreeSlot* slot = chunk->freeSlots;
            chunk->freeSlots = slot->next;
            ++chunk->live;
            if (!chunk->freeSlots)
                unlinkPartial(chunk);
            return slot;
        }
        if (!current || current->bumped == kSlotsPerChunk)
            current = newChunk();
        ++current->live;
        return slotAt(current, current->bumped++);
    }

    void release(void* memory) noexcept
    {
        Chunk* chunk = chunkOf(memory);
        Chunk* emptied = nullptr;
        {
            std::lock_guard<XPxmlSpinLock> guard(lock);
            auto* slot = static_cast<FreeSlot*>(memory);
            slot->next = chunk->freeSlots;
            chunk->freeSlots = slot;
            --chunk->live;
            if (chunk->live == 0 && chunk != current) {
                if (chunk->inPartial)
                    unlinkPartial(chunk);
                emptied = chunk;
            } else if (!chunk->inPartial) {
                linkPartial(chunk);
            }
        }
        if (emptied)
            freeChunk(emptied);
    }
};

Pool& pool()
{
    static Pool* instance = new Pool; // lives to the end: nodes may die during exit
    return *instance;
}

} // namespace

namespace XPxmlSlab {

void* allocate(size_t size)
{
#if defined(XPXML_SLAB_BYPASS)
    return ::operator new(size);
#else
    if (size > kSlotSize)
        return ::operator new(size);
    return pool().allocate();
#endif
}

void release(void* slot, size_t size) noexcept
{
    if (!slot)
        return;
#if defined(XPXML_SLAB_BYPASS)
    (void)size;
    ::operator delete(slot);
#else
    if (size > kSlotSize)
        ::operator delete(slot);
    else
        pool().release(slot);
#endif
}

} // namespace XPxmlSlab
