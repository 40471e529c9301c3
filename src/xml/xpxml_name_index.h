#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

class XPxmlNode;

// Nodes by name, names compared as xpxmlNameEquals does, for the lists that a
// hostile file can make as long as it likes: one element's attributes, the
// declared entities. The hash is keyed at random once per run, so no file can
// be made whose names all meet in one place and make each lookup a scan.
// The names are the nodes' own: a node must keep its name while indexed.
class XPxmlNameIndex {
public:
    // The node indexed under a name equal to name, or nullptr.
    XPxmlNode* find(std::string_view name) const;
    // Indexes node unless an equal name is there already (the first stays).
    void add(XPxmlNode* node);
    bool empty() const { return m_count == 0; }

private:
    struct Slot {
        uint64_t hash = 0; // kept, so that growing reads no names
        XPxmlNode* node = nullptr; // nullptr: free
    };
    // The slot holding name, or the free slot where it would go.
    size_t slotOf(std::string_view name, uint64_t hash) const;
    void grow();

    std::vector<Slot> m_slots; // open addressing, a power of two long
    size_t m_count = 0;
};
