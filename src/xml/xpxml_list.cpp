#include "xml/xpxml_list.h"

#include "xml/xpxml_slab.h"
#include "xml/xpxml_spinlock.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>

namespace {
// Entries held inside the list's own storage before a separate array is made:
// most attribute lists of a music file hold two or three entries.
constexpr uint32_t kInlineSlots = 3;

// What few lists use: a growth step of their own and saved cursors. Kept
// apart so that every list's storage stays small.
struct Extras {
    uint32_t growth;
    uint32_t depth = 0;
    int32_t stack[XPxmlList::kCursorStackSize];
};
} // namespace

struct XPxmlList::Block {
    explicit Block(bool nodeList) : isNodeList(nodeList) {}
    static void* operator new(size_t size) { return XPxmlSlab::allocate(size); }
    static void operator delete(void* block, size_t size) noexcept { XPxmlSlab::release(block, size); }
    ~Block()
    {
        if (items != inlineItems)
            ::operator delete(items);
        delete extras;
    }

    uint32_t growth() const
    {
        if (extras)
            return extras->growth;
        return isNodeList ? kNodeListGrowth : kDefaultGrowth;
    }
    Extras& ensureExtras()
    {
        if (!extras) {
            extras = new Extras;
            extras->growth = isNodeList ? kNodeListGrowth : kDefaultGrowth;
        }
        return *extras;
    }

    bool hasCursor() const { return cursor >= 0 && uint32_t(cursor) < count; }
    void* entry(int32_t index) const
    {
        return (index >= 0 && uint32_t(index) < count) ? items[index] : nullptr;
    }
    void* moveTo(int32_t index)
    {
        cursor = index;
        return entry(index);
    }

    // Capacity grows by the growth step, but small lists grow by doubling from
    // a few slots (a node's three attributes must not cost 512 slots) and large
    // ones by half their size, so appends stay amortised O(1).
    uint32_t grownCapacity() const
    {
        if (capacity < kInlineSlots)
            return kInlineSlots;
        uint32_t step = std::min(growth(), capacity);
        step = std::max(step, capacity / 2);
        return capacity + std::max<uint32_t>(step, 1);
    }

    void resize(uint32_t newCapacity)
    {
        if (newCapacity <= kInlineSlots) {
            if (items != inlineItems) {
                std::memcpy(inlineItems, items, count * sizeof(void*));
                ::operator delete(items);
                items = inlineItems;
            }
            capacity = kInlineSlots;
            return;
        }
        auto* fresh = static_cast<void**>(::operator new(size_t(newCapacity) * sizeof(void*)));
        if (count)
            std::memcpy(fresh, items, count * sizeof(void*));
        if (items != inlineItems)
            ::operator delete(items);
        items = fresh;
        capacity = newCapacity;
    }

    void shrinkAfterRemoval()
    {
        if (capacity > kInlineSlots && count <= capacity / 4)
            resize(std::max(kInlineSlots, capacity / 2));
    }

    // Index of item, searched outward from hint: insertions and removals shift
    // entries by a few places, so the last known place is usually close.
    int32_t locate(const void* item, uint32_t hint) const
    {
        if (hint < count && items[hint] == item)
            return int32_t(hint);
        const uint32_t start = count ? std::min(hint, count - 1) : 0;
        for (uint32_t d = 0; d < count; ++d) {
            bool inRange = false;
            if (start + d < count) {
                inRange = true;
                if (items[start + d] == item)
                    return int32_t(start + d);
            }
            if (d && d <= start) {
                inRange = true;
                if (items[start - d] == item)
                    return int32_t(start - d);
            }
            if (!inRange)
                break;
        }
        return -1;
    }

    // The cursor then designates the new entry.
    uint32_t insertAt(uint32_t index, void* item)
    {
        if (count == capacity)
            resize(grownCapacity());
        if (index < count)
            std::memmove(items + index + 1, items + index, (count - index) * sizeof(void*));
        items[index] = item;
        ++count;
        cursor = int32_t(index);
        return index;
    }

    void removeAt(uint32_t index)
    {
        std::memmove(items + index, items + index + 1, (count - index - 1) * sizeof(void*));
        --count;
        if (cursor > int32_t(index))
            --cursor;
        else if (cursor >= 0 && uint32_t(cursor) == count)
            --cursor;
        shrinkAfterRemoval();
    }

    mutable XPxmlSpinLock lock;
    bool isNodeList;
    int32_t cursor = -1;
    uint32_t count = 0;
    uint32_t capacity = 0;
    Extras* extras = nullptr;
    void** items = inlineItems;
    void* inlineItems[kInlineSlots] = {};
};

namespace {
using Guard = std::lock_guard<XPxmlSpinLock>;
constexpr uintptr_t kNodeListBit = 1;
} // namespace

XPxmlList::XPxmlList(uint32_t growth) : m_state(growth == kNodeListGrowth ? kNodeListBit : 0)
{
    static_assert(sizeof(Block) <= XPxmlSlab::kSmallSlotSize, "list storage lives in small slab slots");
    if (growth != kDefaultGrowth && growth != kNodeListGrowth && growth != 0)
        ensureBlock()->ensureExtras().growth = growth;
}

XPxmlList::~XPxmlList()
{
    delete block();
}

XPxmlList::Block* XPxmlList::block() const noexcept
{
    return reinterpret_cast<Block*>(m_state.load(std::memory_order_acquire) & ~kNodeListBit);
}

uint32_t XPxmlList::defaultGrowth() const noexcept
{
    return (m_state.load(std::memory_order_relaxed) & kNodeListBit) ? kNodeListGrowth : kDefaultGrowth;
}

XPxmlList::Block* XPxmlList::ensureBlock()
{
    if (Block* b = block())
        return b;
    auto* fresh = new Block(defaultGrowth() == kNodeListGrowth);
    uintptr_t expected = m_state.load(std::memory_order_acquire);
    while ((expected & ~kNodeListBit) == 0) {
        uintptr_t desired = reinterpret_cast<uintptr_t>(fresh) | (expected & kNodeListBit);
        if (m_state.compare_exchange_weak(expected, desired, std::memory_order_acq_rel))
            return fresh;
    }
    delete fresh; // another thread made the storage first
    return block();
}

uint32_t XPxmlList::append(void* item)
{
    Block* b = ensureBlock();
    Guard guard(b->lock);
    return b->insertAt(b->count, item);
}

uint32_t XPxmlList::appendUnshared(void* item)
{
    Block* b = ensureBlock();
    return b->insertAt(b->count, item);
}

int XPxmlList::insert(int insertMode, void* item)
{
    if (!item || insertMode < AtFront || insertMode > AfterCurrent)
        return 0;
    Block* b = ensureBlock();
    Guard guard(b->lock);
    uint32_t index = 0;
    switch (insertMode) {
    case AtFront: index = 0; break;
    case AtEnd: index = b->count; break;
    case BeforeCurrent: index = b->hasCursor() ? uint32_t(b->cursor) : 0; break;
    case AfterCurrent: index = b->hasCursor() ? uint32_t(b->cursor) + 1 : 0; break;
    }
    b->insertAt(index, item);
    return 1;
}

int XPxmlList::removeCurrent()
{
    Block* b = block();
    if (!b)
        return 0;
    Guard guard(b->lock);
    if (!b->hasCursor())
        return 0;
    b->removeAt(uint32_t(b->cursor));
    return 1;
}

void* XPxmlList::getAt(uint32_t index)
{
    Block* b = block();
    if (!b)
        return nullptr;
    Guard guard(b->lock);
    if (index >= b->count)
        return nullptr;
    return b->moveTo(int32_t(index));
}

void* XPxmlList::find(const void* item)
{
    Block* b = block();
    if (!b)
        return nullptr;
    Guard guard(b->lock);
    for (uint32_t i = 0; i < b->count; ++i)
        if (b->items[i] == item)
            return b->moveTo(int32_t(i));
    b->cursor = -1;
    return nullptr;
}

void* XPxmlList::first()
{
    Block* b = block();
    if (!b)
        return nullptr;
    Guard guard(b->lock);
    return b->moveTo(b->count ? 0 : -1);
}

void* XPxmlList::next()
{
    Block* b = block();
    if (!b)
        return nullptr;
    Guard guard(b->lock);
    if (b->cursor < 0 || uint32_t(b->cursor) + 1 >= b->count)
        return b->moveTo(-1);
    return b->moveTo(b->cursor + 1);
}

void* XPxmlList::prev()
{
    Block* b = block();
    if (!b)
        return nullptr;
    Guard guard(b->lock);
    if (b->cursor <= 0)
        return b->moveTo(-1);
    return b->moveTo(b->cursor - 1);
}

void* XPxmlList::last()
{
    Block* b = block();
    if (!b)
        return nullptr;
    Guard guard(b->lock);
    if (!b->count)
        return nullptr;
    return b->moveTo(int32_t(b->count - 1));
}

void* XPxmlList::current() const
{
    Block* b = block();
    if (!b)
        return nullptr;
    Guard guard(b->lock);
    return b->entry(b->cursor);
}

uint32_t XPxmlList::count() const
{
    Block* b = block();
    if (!b)
        return 0;
    Guard guard(b->lock);
    return b->count;
}

void* XPxmlList::pushCursor()
{
    Block* b = block();
    if (!b)
        return nullptr;
    Guard guard(b->lock);
    if (!b->hasCursor() || (b->extras && b->extras->depth >= uint32_t(kCursorStackSize)))
        return nullptr;
    Extras& extras = b->ensureExtras();
    extras.stack[extras.depth++] = b->cursor;
    return b->entry(b->cursor);
}

void* XPxmlList::popCursor()
{
    Block* b = block();
    if (!b)
        return nullptr;
    Guard guard(b->lock);
    if (!b->extras || b->extras->depth == 0)
        return nullptr;
    return b->moveTo(b->extras->stack[--b->extras->depth]);
}

uint32_t XPxmlList::setGrowth(uint32_t n)
{
    Block* b = block();
    if (!b && n == 0)
        return defaultGrowth();
    b = ensureBlock();
    Guard guard(b->lock);
    const uint32_t previous = b->growth();
    if (n != 0)
        b->ensureExtras().growth = n;
    return previous;
}

int32_t XPxmlList::cursor() const
{
    Block* b = block();
    if (!b)
        return -1;
    Guard guard(b->lock);
    return b->cursor;
}

uint32_t XPxmlList::capacity() const
{
    Block* b = block();
    if (!b)
        return 0;
    Guard guard(b->lock);
    return b->capacity;
}

uint32_t XPxmlList::cursorDepth() const
{
    Block* b = block();
    if (!b)
        return 0;
    Guard guard(b->lock);
    return b->extras ? b->extras->depth : 0;
}

void* XPxmlList::neighbour(const void* item, int direction, uint32_t& hint) const
{
    Block* b = block();
    if (!b)
        return nullptr;
    Guard guard(b->lock);
    const int32_t index = b->locate(item, hint);
    if (index < 0)
        return nullptr;
    hint = uint32_t(index);
    return b->entry(direction > 0 ? index + 1 : index - 1);
}

void XPxmlList::replaceAll(void* const* items, uint32_t n, void (*dropped)(void*))
{
    Block* b = ensureBlock();
    // Made before the lock is taken: running out of memory changes nothing.
    void** fresh = n > kInlineSlots ? static_cast<void**>(::operator new(size_t(n) * sizeof(void*))) : nullptr;
    void** taken;
    uint32_t takenCount;
    void* inlineCopy[kInlineSlots];
    {
        Guard guard(b->lock);
        takenCount = b->count;
        if (b->items == b->inlineItems) {
            std::memcpy(inlineCopy, b->inlineItems, sizeof inlineCopy);
            taken = inlineCopy;
        } else {
            taken = b->items;
        }
        b->items = fresh ? fresh : b->inlineItems;
        b->capacity = fresh ? n : kInlineSlots;
        if (n)
            std::memcpy(b->items, items, n * sizeof(void*));
        b->count = n;
        b->cursor = int32_t(n) - 1;
    }
    if (dropped)
        for (uint32_t i = 0; i < takenCount; ++i)
            dropped(taken[i]);
    if (taken != inlineCopy)
        ::operator delete(taken);
}

int XPxmlList::remove(const void* item, uint32_t hint)
{
    Block* b = block();
    if (!b)
        return 0;
    Guard guard(b->lock);
    const int32_t index = b->locate(item, hint);
    if (index < 0)
        return 0;
    b->removeAt(uint32_t(index));
    return 1;
}

void* XPxmlList::scan(bool (*visit)(void* entry, void* context), void* context) const
{
    Block* b = block();
    if (!b)
        return nullptr;
    Guard guard(b->lock);
    for (uint32_t i = 0; i < b->count; ++i)
        if (visit(b->items[i], context))
            return b->items[i];
    return nullptr;
}

void* XPxmlList::at(uint32_t index) const
{
    Block* b = block();
    if (!b)
        return nullptr;
    Guard guard(b->lock);
    return b->entry(int32_t(index));
}

uint32_t XPxmlList::copyEntries(uint32_t from, void** out, uint32_t max) const
{
    Block* b = block();
    if (!b)
        return 0;
    Guard guard(b->lock);
    if (from >= b->count)
        return 0;
    const uint32_t n = std::min(max, b->count - from);
    std::memcpy(out, b->items + from, n * sizeof(void*));
    return n;
}

void XPxmlList::clear(void (*dispose)(void*))
{
    if (block())
        replaceAll(nullptr, 0, dispose);
}
