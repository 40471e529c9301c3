#include "view/view_cursor.h"

#include "xml/xpxml_node.h"

void ViewCursor::clear()
{
    element.store(nullptr);
    selectionAnchor = nullptr;
    selectionEnd = nullptr;
}

void ViewCursor::moveOff(const XPxmlNode* removed, XPxmlNode* before, XPxmlNode* after)
{
    if (!removed)
        return;
    if (element.load() == removed)
        element.store(before ? before : after);
    bool moved = false;
    if (selectionAnchor == removed) {
        selectionAnchor = after;
        moved = true;
    }
    if (selectionEnd == removed) {
        selectionEnd = before;
        moved = true;
    }
    if (moved && (!selectionAnchor || !selectionEnd))
        selectionAnchor = selectionEnd = nullptr;
}

std::pair<XPxmlNode*, XPxmlNode*> ViewCursor::selectedRows() const
{
    XPxmlNode* a = selectionAnchor;
    XPxmlNode* b = selectionEnd;
    if (!a || !b || a == b)
        return {nullptr, nullptr};
    for (XPxmlNode* e = a; e; e = e->nextElementSibling()) {
        if (e == b)
            return {a, b};
    }
    return {b, a};
}
