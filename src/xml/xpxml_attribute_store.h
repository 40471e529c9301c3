#pragma once

#include "xml/xpxml_list.h"
#include "xml/xpxml_slab.h"
#include "xml/xpxml_spinlock.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// An element's attributes as name and value side by side in one block, with
// the texts read from the file behind them: a parsed element costs one
// allocation for all its attributes, and a lookup reads one place in memory.
// A name of xpxmlCommonName spelled exactly so is the shared copy, so that
// most lookups compare pointers.
//
// A text keeps its address until its own attribute changes or goes: a new
// value goes into the room left in the block or onto the heap, and more
// attributes than the block holds move only the name/value pairs.
//
// Callers hold lock() around every call. Once a caller wants attribute nodes
// (nodes() filled, setNodes()), the nodes are the attributes for good and the
// pairs are only kept for the texts handed out before.
class XPxmlAttributeStore {
public:
    struct Pair {
        std::string_view name;
        std::string_view value;
    };
    static constexpr uint32_t kAbsent = UINT32_MAX;

    // Holds the pairs given (names distinct), with room for one more.
    static XPxmlAttributeStore* make(const Pair* pairs, uint32_t count);
    // The same from names and values side by side, with common[i] =
    // xpxmlCommonName(names[i], false) given, carved by carver when there is one.
    static XPxmlAttributeStore* make(const std::string_view* names, const std::string_view* values, uint32_t count,
                                     const char* const* common, XPxmlSlab::Carver* carver = nullptr);
    // Frees the texts and the block; the nodes must be gone already.
    static void destroy(XPxmlAttributeStore* store) noexcept;
    XPxmlAttributeStore(const XPxmlAttributeStore&) = delete;
    XPxmlAttributeStore& operator=(const XPxmlAttributeStore&) = delete;

    XPxmlSpinLock& lock() const { return m_lock; }
    bool hasNodes() const { return m_hasNodes; }
    // From now on the nodes hold the attributes.
    void setNodes();
    XPxmlList& nodes() { return m_nodes; }

    uint32_t count() const { return m_count; }
    const char* nameAt(uint32_t index) const { return pairs()[index].name; }
    const char* valueAt(uint32_t index) const { return pairs()[index].value; }
    // Index of the attribute named name, in any case, or kAbsent. common:
    // xpxmlCommonName(name, true), looked up once by the caller.
    uint32_t indexOf(const char* name, const char* common) const;

    // False, changing nothing, when the value is the same (case-sensitive).
    bool setValue(uint32_t index, std::string_view value);
    // common as for indexOf: the shared copy is taken when name is spelled so.
    void append(std::string_view name, std::string_view value, const char* common);
    void removeAt(uint32_t index) noexcept;
    void clear() noexcept;

private:
    struct Texts {
        const char* name;
        const char* value;
    };
    XPxmlAttributeStore(uint32_t capacity, uint32_t room);
    template <class NameAt, class ValueAt>
    static XPxmlAttributeStore* makeFrom(uint32_t count, NameAt nameAt, ValueAt valueAt, const char* const* common,
                                         XPxmlSlab::Carver* carver);
    static size_t sizeFor(uint32_t capacity, size_t room);
    ~XPxmlAttributeStore() = default;

    Texts* inlinePairs() const;
    char* bytes() const;
    Texts* pairs() const { return m_pairs; }
    // A copy of text in the block's room or on the heap, zero-terminated.
    const char* keep(std::string_view text);
    bool owns(const char* text) const;
    void release(const char* text) noexcept;

    mutable XPxmlSpinLock m_lock;
    bool m_hasNodes = false;
    uint32_t m_inlineCapacity;
    uint32_t m_capacity;
    uint32_t m_count = 0;
    uint32_t m_room;     // bytes behind the inline pairs
    uint32_t m_used = 0; // of them taken
    Texts* m_pairs;
    XPxmlList m_nodes{XPxmlList::kNodeListGrowth};
};
