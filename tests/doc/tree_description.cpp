#include "tree_description.h"

#include "xml/xpxml.h"

std::string describeElement(const XPxmlNode* element)
{
    std::string out = element->name();
    out += '(';
    for (uint32_t i = 0; i < element->attributes().count(); ++i) {
        const auto* attribute = static_cast<const XPxmlNode*>(element->attributes().at(i));
        out += i ? " " : "";
        out += std::string(attribute->name()) + "=" + attribute->value();
    }
    return out + ')';
}

std::string describeChildren(XPxmlNode* parent)
{
    std::string out;
    for (XPxmlNode* child = parent->firstElementChild(); child; child = child->nextElementSibling())
        out += describeElement(child) + "\n";
    return out;
}
