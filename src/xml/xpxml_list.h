#pragma once

#include <atomic>
#include <cstdint>

// A thread-safe list of pointers it does not own, with one cursor and a stack
// of saved cursors. Iteration works through the cursor: first()/next() and
// friends move it and return the entry reached, or nullptr.
//
// Every operation runs under the list's own lock. An empty list costs one
// pointer: its storage is made on the first insertion (or setGrowth) and kept
// until the list dies.
class XPxmlList {
public:
    static constexpr uint32_t kDefaultGrowth = 16;
    static constexpr int kCursorStackSize = 100;

    enum InsertMode { AtFront = 1, AtEnd = 2, BeforeCurrent = 3, AfterCurrent = 4 };

    static constexpr uint32_t kNodeListGrowth = 512;

    explicit XPxmlList(uint32_t growth = kDefaultGrowth);
    ~XPxmlList();
    XPxmlList(const XPxmlList&) = delete;
    XPxmlList& operator=(const XPxmlList&) = delete;

    // Inserts item (mode 1 front, 2 end, 3 before / 4 after the current entry;
    // 3 and 4 with no cursor insert at the front). The cursor then designates
    // the new entry. Returns 0, changing nothing, for a null item or another mode.
    int insert(int insertMode, void* item);
    // insert(AtEnd, item) for an item known to be there; returns its index.
    uint32_t append(void* item);
    // The same without the lock, for a list no other thread can reach yet.
    uint32_t appendUnshared(void* item);
    // Takes the current entry out (does not destroy it). 0 when empty or no cursor.
    int removeCurrent();

    void* getAt(uint32_t index);     // cursor := index when index < count
    void* find(const void* item);    // cursor := its index, or -1 when absent
    void* first();
    void* next();
    void* prev();
    void* last();                    // empty: nullptr, cursor unchanged
    void* current() const;           // nullptr when there is no cursor
    uint32_t count() const;

    void* pushCursor();              // nullptr (refused) when full or no cursor
    void* popCursor();               // nullptr (refused) when nothing is saved
    uint32_t setGrowth(uint32_t n);  // 0 leaves the step; returns the previous step

    int32_t cursor() const;          // -1 for no cursor
    uint32_t capacity() const;       // slots allocated
    // False only for a list that never held an entry: a test without the lock.
    bool hasStorage() const { return block() != nullptr; }
    uint32_t cursorDepth() const;    // saved cursors

    // The entry beside item (+1 after, -1 before), or nullptr at either end or
    // when item is absent, in one locked step that leaves the cursor alone.
    // hint is where item was last seen; it is read and updated so that walking
    // a long list this way costs O(1) per step.
    void* neighbour(const void* item, int direction, uint32_t& hint) const;

    // Entry at index without touching the cursor (nullptr past the end).
    void* at(uint32_t index) const;
    // Copies up to max entries from index from into out in one locked step,
    // leaving the cursor alone: for a long walk, one lock per run of entries
    // rather than one per step. Returns how many were copied.
    uint32_t copyEntries(uint32_t from, void** out, uint32_t max) const;

    // Takes out every entry, first to last, handing each to dispose (may be
    // null). The cursor is cleared; capacity shrinks back.
    void clear(void (*dispose)(void*) = nullptr);
    // Makes items[0..n) the entries, in one locked step, handing each entry
    // held before to dropped (may be null) after it. The cursor ends on the
    // last entry (none when n is 0); saved cursors stay.
    void replaceAll(void* const* items, uint32_t n, void (*dropped)(void*) = nullptr);
    // Takes item out wherever it is (hint: where it was last seen). A cursor
    // behind it moves back with its entry; a cursor on it behaves as for
    // removeCurrent. 0 when item is absent.
    int remove(const void* item, uint32_t hint = 0);
    // Calls visit(entry, context) on each entry in order, under the list's
    // lock, until it returns true; returns that entry, or nullptr. visit must
    // not call back into this list.
    void* scan(bool (*visit)(void* entry, void* context), void* context) const;

private:
    struct Block;
    Block* block() const noexcept;
    Block* ensureBlock();
    uint32_t defaultGrowth() const noexcept;

    // The storage pointer; bit 0 set marks a list whose default growth is 512
    // (child and attribute lists), kept here so an empty list stays one word.
    mutable std::atomic<uintptr_t> m_state;
};
