#include "xml/xpxml_kind.h"

#include <cstddef>

namespace {

struct KindRow {
    uint16_t code;
    const char* name;
};

constexpr KindRow kKinds[] = {
    {XPxmlKind::Undefined, "undefined"},
    {XPxmlKind::Element, "element"},
    {XPxmlKind::Attribute, "attribute"},
    {XPxmlKind::Text, "text"},
    {XPxmlKind::CDataSection, "cdatasection"},
    {XPxmlKind::EntityReference, "entityreference"},
    {XPxmlKind::Entity, "entity"},
    {XPxmlKind::ProcessingInstruction, "processinginstruction"},
    {XPxmlKind::Comment, "comment"},
    {XPxmlKind::Document, "document"},
    {XPxmlKind::DocumentType, "documenttype"},
    {XPxmlKind::DocumentFragment, "documentfragment"},
    {XPxmlKind::Notation, "notation"},
    {XPxmlKind::All, "all"},
};

inline char foldCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

} // namespace

bool xpxmlNameEquals(const char* a, const char* b)
{
    if (!a || !b)
        return a == b;
    for (; *a && *b; ++a, ++b)
        if (foldCase(*a) != foldCase(*b))
            return false;
    return *a == *b;
}

bool xpxmlNameEquals(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (foldCase(a[i]) != foldCase(b[i]))
            return false;
    return true;
}

namespace XPxmlKind {

uint16_t codeOf(const char* kindName)
{
    if (!kindName)
        return Undefined;
    for (const KindRow& row : kKinds)
        if (xpxmlNameEquals(row.name, kindName))
            return row.code;
    return Undefined;
}

const char* nameOf(uint16_t code)
{
    for (const KindRow& row : kKinds)
        if (row.code == code)
            return row.name;
    return nullptr;
}

} // namespace XPxmlKind
