#include "view/view_cursor.h"

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
