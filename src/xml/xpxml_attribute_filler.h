#pragma once

#include "xml/xpxml_name_index.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

class XPxmlNode;

// Fills the attribute list of a node that no one else sees yet and that has
// no attributes so far (one being parsed or cloned). A name already there, in
// any case, keeps its place and takes the new value. Past a few attributes
// the names go into an index, so that an element with a million attributes
// does not compare every name with every other.
class XPxmlAttributeFiller {
public:
    explicit XPxmlAttributeFiller(XPxmlNode& node) : m_node(node) {}
    XPxmlAttributeFiller(const XPxmlAttributeFiller&) = delete;
    XPxmlAttributeFiller& operator=(const XPxmlAttributeFiller&) = delete;

    void append(std::string_view name, std::string_view value);

private:
    static constexpr uint32_t kIndexFrom = 8;

    XPxmlNode* find(std::string_view name);
    void index(XPxmlNode* attribute);

    struct Index {
        XPxmlNameIndex names;
        std::vector<XPxmlNode*> attributes; // by the number of their name
    };

    XPxmlNode& m_node;
    uint32_t m_count = 0;           // attributes in the list
    std::unique_ptr<Index> m_index; // made once the list is long
};
