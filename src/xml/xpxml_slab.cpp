#include "xml/xpxml_slab.h"

#include "xml/xpxml_spinlock.h"

#include <cstdint>
#include <atomic>
#include <iterator>
#include <mutex>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define XPXML_SLAB_BYPASS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define XPXML_SLAB_BYPASS 1
#endif
#endif

namespace {

constexpr size_t kChunkSize = size_t(64) << 10;

struct FreeSlot {
    FreeSlot* next;
};

// What every chunk begins with: whether its slots were carved by a Carver (any
// size, counted only) or handed out by a pool (one size, on a free list).
struct ChunkHead {
    bool carved = false;
};

struct Chunk : ChunkHead {
    Chunk* prevPartial = nullptr; // chunks with freed slots to hand out
    Chunk* nextPartial = nullptr;
    FreeSlot* freeSlots = nullptr;
    uint32_t live = 0;   // slots handed out and not yet freed
    uint32_t bumped = 0; // slots ever carved from the unused tail
    bool inPartial = false;
};

constexpr size_t kHeaderSize = (sizeof(Chunk) + 15) & ~size_t(15);

Chunk* chunkOf(void* slot)
{
    return reinterpret_cast<Chunk*>(reinterpret_cast<uintptr_t>(slot) & ~uintptr_t(kChunkSize - 1));
}

// A carver's chunk counts its slots still held, plus a reserve for the slots
// not yet carved while a carver works on it: whoever takes the count to zero,
// the last release or the carver moving on, gives the chunk back.
struct CarvedChunk : ChunkHead {
    CarvedChunk() { carved = true; }
    std::atomic<uint32_t> live{kCarverReserve};
    static constexpr uint32_t kCarverReserve = 1u << 30; // far above the slots of a chunk
};

constexpr size_t kCarvedHeaderSize = (sizeof(CarvedChunk) + 15) & ~size_t(15);

Chunk* newChunk()
{
    return new (::operator new(kChunkSize, std::align_val_t(kChunkSize))) Chunk;
}

void freeChunk(Chunk* chunk)
{
    chunk->~Chunk();
    ::operator delete(chunk, std::align_val_t(kChunkSize));
}

// All state under one lock: loading happens on one thread at a time, and the
// critical sections are a handful of instructions.
// Empty chunks kept for the next load instead of going back at once: opening
// file after file then reuses memory the system has already handed over.
constexpr int kSpareChunks = 64;
constexpr int kCarvedSpares = 512;

struct Pool {
    constexpr explicit Pool(size_t size)
        : slotSize(size), slotsPerChunk(uint32_t((kChunkSize - kHeaderSize) / size))
    {
    }

    char* slotAt(Chunk* chunk, uint32_t index) const
    {
        return reinterpret_cast<char*>(chunk) + kHeaderSize + size_t(index) * slotSize;
    }

    const size_t slotSize;
    const uint32_t slotsPerChunk;
    XPxmlSpinLock lock;
    Chunk* current = nullptr; // the chunk whose tail is being carved
    Chunk* partial = nullptr; // list of chunks holding freed slots
    Chunk* spare = nullptr;   // empty chunks kept back, linked through nextPartial
    int spareCount = 0;

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
        if (!current || current->bumped == slotsPerChunk) {
            if (spare) {
                current = spare;
                spare = spare->nextPartial;
                --spareCount;
                *current = Chunk{};
            } else {
                current = newChunk();
            }
        }
        ++current->live;
        return slotAt(current, current->bumped++);
    }

    void releaseSpare() noexcept
    {
        Chunk* chunks = nullptr;
        {
            std::lock_guard<XPxmlSpinLock> guard(lock);
            chunks = spare;
            spare = nullptr;
            spareCount = 0;
        }
        while (chunks) {
            Chunk* next = chunks->nextPartial;
            freeChunk(chunks);
            chunks = next;
        }
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
                if (spareCount < kSpareChunks) {
                    chunk->nextPartial = spare;
                    spare = chunk;
                    ++spareCount;
                } else {
                    emptied = chunk;
                }
            } else if (!chunk->inPartial) {
                linkPartial(chunk);
            }
        }
        if (emptied)
            freeChunk(emptied);
    }
};

// Constant-initialised and never destroyed: nodes may die while the program
// exits. Sizes close together, since an element's attributes take any size.
constexpr size_t kPoolSizes[] = {XPxmlSlab::kSmallSlotSize, XPxmlSlab::kSlotSize, 80, 96, 112, 128, 160, 192,
                                 XPxmlSlab::kLargestSlotSize};
constinit Pool gPools[] = {Pool{kPoolSizes[0]}, Pool{kPoolSizes[1]}, Pool{kPoolSizes[2]},
                           Pool{kPoolSizes[3]}, Pool{kPoolSizes[4]}, Pool{kPoolSizes[5]},
                           Pool{kPoolSizes[6]}, Pool{kPoolSizes[7]}, Pool{kPoolSizes[8]}};
static_assert(std::size(gPools) == std::size(kPoolSizes));

// The pool for each size, by sixteenths: one look-up instead of a search.
struct PoolBySize {
    uint8_t index[XPxmlSlab::kLargestSlotSize / 16 + 1] = {};
    constexpr PoolBySize()
    {
        for (size_t i = 0; i < std::size(index); ++i) {
            uint8_t at = 0;
            while (kPoolSizes[at] < i * 16)
                ++at;
            index[i] = at;
        }
    }
};

[[maybe_unused]] Pool& pool(size_t size)
{
    static constexpr PoolBySize kBySize;
    Pool& candidate = gPools[kBySize.index[size / 16]];
    // Within a sixteenth the pool found may be one too small.
    return size <= candidate.slotSize ? candidate : gPools[kBySize.index[size / 16] + 1];
}

// Empty carved chunks kept for the next parse, as the pools keep theirs.
struct CarvedSpares {
    XPxmlSpinLock lock;
    void* chunks[kCarvedSpares] = {};
    int count = 0;

    void* take()
    {
        {
            std::lock_guard<XPxmlSpinLock> guard(lock);
            if (count)
                return chunks[--count];
        }
        return ::operator new(kChunkSize, std::align_val_t(kChunkSize));
    }

    void giveBack(CarvedChunk* chunk) noexcept
    {
        chunk->~CarvedChunk();
        {
            std::lock_guard<XPxmlSpinLock> guard(lock);
            if (count < kCarvedSpares) {
                chunks[count++] = chunk;
                return;
            }
        }
        ::operator delete(static_cast<void*>(chunk), std::align_val_t(kChunkSize));
    }

    void releaseAll() noexcept
    {
        for (;;) {
            void* chunk = nullptr;
            {
                std::lock_guard<XPxmlSpinLock> guard(lock);
                if (!count)
                    return;
                chunk = chunks[--count];
            }
            ::operator delete(chunk, std::align_val_t(kChunkSize));
        }
    }
};
constinit CarvedSpares gCarvedSpares;

[[maybe_unused]] void releaseCarved(void* slot) noexcept
{
    auto* chunk = static_cast<CarvedChunk*>(static_cast<ChunkHead*>(chunkOf(slot)));
    if (chunk->live.fetch_sub(1, std::memory_order_acq_rel) == 1)
        gCarvedSpares.giveBack(chunk);
}

} // namespace

namespace XPxmlSlab {

void* allocate(size_t size)
{
#if defined(XPXML_SLAB_BYPASS)
    return ::operator new(size);
#else
    if (size > kLargestSlotSize)
        return ::operator new(size);
    return pool(size).allocate();
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
    if (size > kLargestSlotSize)
        ::operator delete(slot);
    else if (chunkOf(slot)->carved)
        releaseCarved(slot);
    else
        pool(size).release(slot);
#endif
}

void releaseSpareChunks() noexcept
{
    for (Pool& each : gPools)
        each.releaseSpare();
    gCarvedSpares.releaseAll();
}

Carver::~Carver()
{
    retire();
}

void* Carver::allocateSlow(size_t size)
{
#if defined(XPXML_SLAB_BYPASS)
    return ::operator new(size);
#else
    if (size > kLargestSlotSize)
        return ::operator new(size);
    retire();
    auto* chunk = new (gCarvedSpares.take()) CarvedChunk;
    m_chunk = chunk;
    m_next = reinterpret_cast<char*>(chunk) + kCarvedHeaderSize;
    m_end = reinterpret_cast<char*>(chunk) + kChunkSize;
    void* slot = m_next;
    m_next += size;
    m_carved = 1;
    return slot;
#endif
}

void Carver::retire() noexcept
{
    if (!m_chunk)
        return;
    auto* chunk = static_cast<CarvedChunk*>(m_chunk);
    const uint32_t uncarved = CarvedChunk::kCarverReserve - m_carved;
    if (chunk->live.fetch_sub(uncarved, std::memory_order_acq_rel) == uncarved)
        gCarvedSpares.giveBack(chunk);
    m_chunk = nullptr;
    m_next = m_end = nullptr;
    m_carved = 0;
}

} // namespace XPxmlSlab
