#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Texts kept one after another in one block, numbered 0, 1, 2 ... in the order
// they came: thousands of short texts in a few places in memory rather than in
// thousands.
class XPxmlTextBlock {
public:
    void push(std::string_view text)
    {
        m_text.append(text);
        m_ends.push_back(uint32_t(m_text.size()));
    }
    std::string_view at(uint32_t number) const
    {
        const uint32_t begin = number ? m_ends[number - 1] : 0;
        return std::string_view(m_text).substr(begin, m_ends[number] - begin);
    }
    uint32_t size() const { return uint32_t(m_ends.size()); }

private:
    std::string m_text;
    std::vector<uint32_t> m_ends; // where each text ends in m_text
};

// Names, compared as xpxmlNameEquals does, numbered in the order they were
// added, for the lists that a hostile file can make as long as it likes: one
// element's attributes, the declared entities. The names are copied into one
// block and found through a table of eight-byte slots, so that even a long
// index stays in the processor's cache. The hash is keyed at random once per
// run, so no file can be made whose names all meet in one place and make each
// lookup a scan.
class XPxmlNameIndex {
public:
    static constexpr uint32_t kAbsent = UINT32_MAX;

    // The number of the name equal to name, or kAbsent.
    uint32_t find(std::string_view name) const;
    // Adds name unless an equal one is there; returns the number of the one there.
    uint32_t add(std::string_view name);
    uint32_t size() const { return m_names.size(); }

private:
    struct Slot {
        uint32_t tag = 0;   // the hash's upper half
        uint32_t entry = 0; // 1 + the name's number; 0: free
    };
    // The slot holding name, or the free slot where it would go.
    size_t slotOf(std::string_view name, uint64_t hash) const;
    void grow();

    XPxmlTextBlock m_names;
    std::vector<Slot> m_slots; // open addressing, a power of two long
};
