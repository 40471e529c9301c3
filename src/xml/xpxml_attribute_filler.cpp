#include "xml/xpxml_attribute_filler.h"

#include "xml/xpxml_kind.h"
#include "xml/xpxml_node.h"

uint32_t XPxmlAttributeFiller::findOrAdd(std::string_view name)
{
    const auto count = uint32_t(m_pairs.size());
    if (count < kIndexFrom) {
        // A few names: comparing them all beats keeping an index.
        for (uint32_t i = 0; i < count; ++i)
            if (m_pairs[i].name.size() == name.size() && xpxmlNameEquals(m_pairs[i].name, name))
                return i;
        return count;
    }
    if (!m_index) {
        m_index = std::make_unique<XPxmlNameIndex>();
        for (const XPxmlAttributeStore::Pair& pair : m_pairs)
            m_index->add(pair.name);
    }
    // The names are distinct, so the index numbers them as the pairs are numbered.
    return m_index->add(name);
}

std::string_view XPxmlAttributeFiller::copy(std::string_view text)
{
    return m_copies.emplace_front(text);
}

void XPxmlAttributeFiller::append(std::string_view name, std::string_view value, bool stable)
{
    const uint32_t same = findOrAdd(name);
    if (!stable)
        value = copy(value);
    if (same < m_pairs.size()) {
        m_pairs[same].value = value;
        return;
    }
    if (!stable)
        name = copy(name);
    m_pairs.push_back({name, value});
}

void XPxmlAttributeFiller::fill(XPxmlNode& node)
{
    if (!m_pairs.empty())
        node.m_attributes.store(XPxmlAttributeStore::make(m_pairs.data(), uint32_t(m_pairs.size())),
                                std::memory_order_release);
    m_pairs.clear();
    m_copies.clear();
    m_index.reset();
}
