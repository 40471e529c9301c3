#include "xml/xpxml_element_maker.h"

#include "xml/xpxml_attribute_store.h"
#include "xml/xpxml_common_names.h"
#include "xml/xpxml_kind.h"
#include "xml/xpxml_node.h"

#include <memory>

XPxmlAttributeName::XPxmlAttributeName(std::string_view name) : text(name), common(xpxmlCommonName(name, false)) {}

void XPxmlElementMaker::grow()
{
    const uint32_t capacity = m_capacity * 2;
    // Copies first: the vectors may hold the attributes already.
    std::vector<std::string_view> names(m_names, m_names + m_count), values(m_values, m_values + m_count);
    std::vector<const char*> common(m_common, m_common + m_count);
    names.resize(capacity);
    values.resize(capacity);
    common.resize(capacity);
    m_moreNames = std::move(names);
    m_moreValues = std::move(values);
    m_moreCommon = std::move(common);
    m_names = m_moreNames.data();
    m_values = m_moreValues.data();
    m_common = m_moreCommon.data();
    m_capacity = capacity;
}

XPxmlNode* XPxmlElementMaker::appendTo(XPxmlNode& parent, const char* name)
{
    // Whatever happens, nothing of this element lingers for the next.
    struct Clear {
        XPxmlElementMaker& maker;
        ~Clear() { maker.m_count = 0; }
    } clear{*this};
    // New and seen by no one: it needs none of the checks of create() and insertChild().
    std::unique_ptr<XPxmlNode> element(new (m_carver) XPxmlNode(XPxmlKind::Element));
    element->m_name.assign(name ? name : "");
    if (m_count > 0)
        element->m_attributes.store(XPxmlAttributeStore::make(m_names, m_values, m_count, m_common, &m_carver),
                                    std::memory_order_release);
    return parent.appendParsedChild(std::move(element));
}
