#pragma once

#include <atomic>

class XPxmlNode;

// The cursor and selection of a view: the element the cursor is on (read by
// the playback thread too) and the two ends of the selection, each null when
// unset. Layout moves them off elements it is about to destroy.
struct ViewCursor {
    std::atomic<XPxmlNode*> element{nullptr};
    XPxmlNode* selectionAnchor = nullptr;
    XPxmlNode* selectionEnd = nullptr;

    void clear();
    // Before removed is destroyed: a cursor on it goes to before (after when
    // there is none), a selection anchor on it to after, a selection end on
    // it to before; a selection left with a missing end is cleared.
    void moveOff(const XPxmlNode* removed, XPxmlNode* before, XPxmlNode* after);
};
