#pragma once

#include "xml/xpxml_attribute_store.h"
#include "xml/xpxml_name_index.h"

#include <cstdint>
#include <forward_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class XPxmlNode;

// Gathers the attributes of an element being parsed and gives them to it in
// one store. A name already there, in any case, keeps its place and takes the
// new value. Past a few attributes the names go into an index, so that an
// element with a million attributes does not compare every name with every
// other. One filler serves element after element.
class XPxmlAttributeFiller {
public:
    // stable: the texts outlive the filler's next fill() (they are the
    // parsed text itself); otherwise they are copied.
    void append(std::string_view name, std::string_view value, bool stable);
    // Gives node (which has no attributes yet) what was gathered, and starts over.
    void fill(XPxmlNode& node);

private:
    static constexpr uint32_t kIndexFrom = 8;

    // The place of the pair named name, or the number of pairs when it is new
    // (and then in the index, once there is one).
    uint32_t findOrAdd(std::string_view name);
    std::string_view copy(std::string_view text);

    std::vector<XPxmlAttributeStore::Pair> m_pairs;
    std::forward_list<std::string> m_copies; // texts that would not last
    std::unique_ptr<XPxmlNameIndex> m_index; // made once the list is long
};
