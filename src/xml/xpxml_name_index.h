#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Names, compared as xpxmlNameEquals does, numbered in the order they were
// added, for the lists that a hostile file can make as long as it likes: one
// element's attributes, the declared entities. The names are copied into one
// block, each with a value behind it, and found through a table of slots that
// say where the name lies, so that a look-up in a long index reaches the slot,
// the name and its value in two places in memory. The hash is keyed at random once per
// run, so no file can be made whose names all meet in one place and make each
// lookup a scan.
class XPxmlNameIndex {
public:
    static constexpr uint32_t kAbsent = UINT32_MAX;

    // The number of the name equal to name, or kAbsent; its value into *value
    // when given.
    uint32_t find(std::string_view name, std::string_view* value = nullptr) const;
    // Adds name with value unless an equal name is there (which keeps its
    // value); returns the number of the one there.
    uint32_t add(std::string_view name, std::string_view value = {});
    uint32_t size() const { return m_count; }

private:
    struct Slot {
        uint32_t tag = 0;   // the hash's upper half
        uint32_t entry = 0; // 1 + the name's number; 0: free
        uint32_t begin = 0; // of the name in m_text
        uint32_t length = 0;
    };
    // The slot holding name, or the free slot where it would go.
    size_t slotOf(std::string_view name, uint64_t hash) const;
    std::string_view nameIn(const Slot& slot) const { return std::string_view(m_text).substr(slot.begin, slot.length); }
    std::string_view valueIn(const Slot& slot) const;
    void grow();

    // Each name as its value's length in four bytes, the name, the value: a
    // look-up that finds the slot finds the rest in one place.
    std::string m_text;
    uint32_t m_count = 0;
    std::vector<Slot> m_slots; // open addressing, a power of two long
};
