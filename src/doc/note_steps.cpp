#include "doc/note_steps.h"

#include "xml/xpxml_kind.h"
#include "xml/xpxml_node.h"

XPxmlNode* firstElement(XPxmlNode* noteList)
{
    return noteList ? noteList->firstElementChild() : nullptr;
}

XPxmlNode* lastElement(XPxmlNode* noteList)
{
    const uint32_t count = noteList ? noteList->childCount() : 0;
    XPxmlNode* node = count > 0 ? noteList->childAt(count - 1) : nullptr;
    return node && node->kind() != XPxmlKind::Element ? previousElement(node) : node;
}

XPxmlNode* nextElement(const XPxmlNode* element)
{
    return element ? element->nextElementSibling() : nullptr;
}

XPxmlNode* previousElement(const XPxmlNode* element)
{
    return element ? element->prevElementSibling() : nullptr;
}

XPxmlNode* elementsAhead(XPxmlNode* element, int count)
{
    for (; element && count > 0; --count) {
        XPxmlNode* next = nextElement(element);
        if (!next)
            break;
        element = next;
    }
    return element;
}

XPxmlNode* elementsBehind(XPxmlNode* element, int count)
{
    for (; element && count > 0; --count) {
        XPxmlNode* before = previousElement(element);
        if (!before)
            break;
        element = before;
    }
    return element;
}
