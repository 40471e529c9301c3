#pragma once

#include <atomic>
#include <utility>

class XPxmlNode;

// The cursor and selection of a view: the element the cursor is on (read by
// the playback thread too), its tine column (0-based) and the two ends of the
// selection, each null when unset. Layout moves them off elements it is about
// to destroy.
struct ViewCursor {
    std::atomic<XPxmlNode*> element{nullptr};
    int tine = 0;
    XPxmlNode* selectionAnchor = nullptr;
    XPxmlNode* selectionEnd = nullptr;

    // No element and no selection; the tine column stays.
    void clear();
    void clearSelection() { selectionAnchor = selectionEnd = nullptr; }
    // The selection's ends in the order of the list, or nulls when it has
    // fewer than two rows.
    std::pair<XPxmlNode*, XPxmlNode*> selectedRows() const;
    // Before removed is destroyed: a cursor on it goes to before (after when
    // there is none), a selection anchor on it to after, a selection end on
    // it to before; a selection left with a missing end is cleared.
    void moveOff(const XPxmlNode* removed, XPxmlNode* before, XPxmlNode* after);
};
