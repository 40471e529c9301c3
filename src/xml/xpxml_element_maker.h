#pragma once

#include "xml/xpxml_kind.h"
#include "xml/xpxml_slab.h"

#include <string_view>
#include <vector>

class XPxmlNode;

// An attribute name used again and again, with its shared copy
// (xpxmlCommonName) looked up once rather than for every element.
struct XPxmlAttributeName {
    explicit XPxmlAttributeName(std::string_view name);
    std::string_view text;
    const char* common; // nullptr when the name has no shared copy
};

// Builds a tree element by element, each with all its attributes at once:
// they go into one block, as a parsed element's do, where setAttribute
// would grow the element's store attribute by attribute. One maker serves
// element after element.
class XPxmlElementMaker {
public:
    XPxmlElementMaker() = default;
    XPxmlElementMaker(const XPxmlElementMaker&) = delete; // points into itself
    XPxmlElementMaker& operator=(const XPxmlElementMaker&) = delete;

    // An attribute of the next element; a name given again, in any case,
    // keeps its place and takes the later value (meant for the few
    // attributes of an element: each name is compared with the others).
    // The name and value texts must last until appendTo() has copied them.
    XPxmlElementMaker& add(const XPxmlAttributeName& name, std::string_view value);
    // Appends to parent a new element named name, flagged modified, holding
    // the attributes added since the last call; returns it.
    XPxmlNode* appendTo(XPxmlNode& parent, const char* name);

private:
    void grow();

    // The attributes of the next element: in place while they are few, as
    // bars' and notes' are, in the vectors' storage once there are more.
    static constexpr uint32_t kInPlace = 8;
    std::string_view m_namesInPlace[kInPlace];
    std::string_view m_valuesInPlace[kInPlace];
    const char* m_commonInPlace[kInPlace];
    std::string_view* m_names = m_namesInPlace;
    std::string_view* m_values = m_valuesInPlace;
    const char** m_common = m_commonInPlace;
    uint32_t m_count = 0;
    uint32_t m_capacity = kInPlace;
    std::vector<std::string_view> m_moreNames, m_moreValues;
    std::vector<const char*> m_moreCommon;
    XPxmlSlab::Carver m_carver; // each element beside its attributes, as a parse makes them
};

// In line: a note's few attributes are added for every note of a piece.
inline XPxmlElementMaker& XPxmlElementMaker::add(const XPxmlAttributeName& name, std::string_view value)
{
    for (uint32_t i = 0; i < m_count; ++i) {
        // Shared copies differ in more than case, so two of them are one name only when they are one copy.
        const bool same = name.common && m_common[i] ? name.common == m_common[i]
                                                     : m_names[i].size() == name.text.size() &&
                                                           xpxmlNameEquals(m_names[i], name.text);
        if (same) {
            m_values[i] = value;
            return *this;
        }
    }
    if (m_count == m_capacity)
        grow();
    m_names[m_count] = name.text;
    m_values[m_count] = value;
    m_common[m_count] = name.common;
    ++m_count;
    return *this;
}
