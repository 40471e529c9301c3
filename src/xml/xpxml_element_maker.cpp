#include "xml/xpxml_element_maker.h"

#include "xml/xpxml_attribute_store.h"
#include "xml/xpxml_common_names.h"
#include "xml/xpxml_kind.h"
#include "xml/xpxml_node.h"

#include <memory>

XPxmlAttributeName::XPxmlAttributeName(std::string_view name) : text(name), common(xpxmlCommonName(name, false)) {}

XPxmlElementMaker& XPxmlElementMaker::add(const XPxmlAttributeName& name, std::string_view value)
{
    for (size_t i = 0; i < m_names.size(); ++i) {
        // Shared copies differ in more than case, so two of them are one name only when they are one copy.
        const bool same = name.common && m_common[i] ? name.common == m_common[i]
                                                     : m_names[i].size() == name.text.size() &&
                                                           xpxmlNameEquals(m_names[i], name.text);
        if (same) {
            m_values[i] = value;
            return *this;
        }
    }
    m_names.push_back(name.text);
    m_values.push_back(value);
    m_common.push_back(name.common);
    return *this;
}

XPxmlNode* XPxmlElementMaker::appendTo(XPxmlNode& parent, const char* name)
{
    // Whatever happens, nothing of this element lingers for the next.
    struct Clear {
        XPxmlElementMaker& maker;
        ~Clear()
        {
            maker.m_names.clear();
            maker.m_values.clear();
            maker.m_common.clear();
        }
    } clear{*this};
    // New and seen by no one: it needs none of the checks of create() and insertChild().
    std::unique_ptr<XPxmlNode> element(new XPxmlNode(XPxmlKind::Element));
    element->m_name.assign(name ? name : "");
    if (!m_names.empty())
        element->m_attributes.store(
            XPxmlAttributeStore::make(m_names.data(), m_values.data(), uint32_t(m_names.size()), m_common.data()),
            std::memory_order_release);
    return parent.appendParsedChild(std::move(element));
}
