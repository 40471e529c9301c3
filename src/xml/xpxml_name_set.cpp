#include "xml/xpxml_name_set.h"

#include "xml/xpxml_common_names.h"
#include "xml/xpxml_kind.h"

#include <cstring>
#include <stdexcept>

XPxmlNameSet::XPxmlNameSet(std::initializer_list<const char*> names)
    : m_names(names), m_common(m_names.size(), nullptr), m_byCommonName(xpxmlCommonNamesSize, 0)
{
    if (m_names.size() > 255)
        throw std::length_error("XPxmlNameSet holds at most 255 names");
    for (size_t i = 0; i < m_names.size(); ++i) {
        m_common[i] = xpxmlCommonName(m_names[i], true);
        if (!m_common[i])
            continue;
        m_byCommonName[size_t(xpxmlCommonNameOffset(m_common[i]))] = uint8_t(i + 1);
        // Spelled as the shared copy: hand out that copy, which a store
        // recognises by its address.
        if (std::strcmp(m_names[i], m_common[i]) == 0)
            m_names[i] = m_common[i];
    }
}

uint32_t XPxmlNameSet::indexOfOther(const char* text) const
{
    for (size_t i = 0; i < m_names.size(); ++i)
        if (xpxmlNameEquals(text, m_names[i]))
            return uint32_t(i);
    return kAbsent;
}
