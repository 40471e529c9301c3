#pragma once

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
    // An attribute of the next element; a name given again, in any case,
    // keeps its place and takes the later value (meant for the few
    // attributes of an element: each name is compared with the others).
    // The name and value texts must last until appendTo() has copied them.
    XPxmlElementMaker& add(const XPxmlAttributeName& name, std::string_view value);
    // Appends to parent a new element named name, flagged modified, holding
    // the attributes added since the last call; returns it.
    XPxmlNode* appendTo(XPxmlNode& parent, const char* name);

private:
    std::vector<std::string_view> m_names;
    std::vector<std::string_view> m_values;
    std::vector<const char*> m_common;
};
