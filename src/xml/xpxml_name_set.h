#pragma once

#include "xml/xpxml_common_names.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

// A fixed list of attribute names that a caller reads together from element
// after element (XPxmlNode::readAttributes): made once, it tells in one step
// which of them an attribute is, whatever the case it is written in.
class XPxmlNameSet {
public:
    static constexpr uint32_t kAbsent = UINT32_MAX;

    explicit XPxmlNameSet(std::initializer_list<const char*> names);

    size_t size() const { return m_names.size(); }
    // The name at place i as given, and its shared copy (xpxmlCommonName in
    // any case) or nullptr: looked up once here rather than on every use.
    const char* nameAt(uint32_t i) const { return m_names[i]; }
    const char* commonAt(uint32_t i) const { return m_common[i]; }
    // The place in the list of the name text (an attribute's own name), or kAbsent.
    uint32_t indexOf(const char* text) const
    {
        const long offset = xpxmlCommonNameOffset(text);
        if (offset < 0)
            return indexOfOther(text);
        // A shared name is no other name, in any case.
        return m_byCommonName[size_t(offset)] ? m_byCommonName[size_t(offset)] - 1u : kAbsent;
    }

private:
    uint32_t indexOfOther(const char* text) const;

    std::vector<const char*> m_names;
    std::vector<const char*> m_common;
    std::vector<uint8_t> m_byCommonName; // 1 + place, by place in the shared names; 0: none
};
