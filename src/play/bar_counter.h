#pragma once

class XPxmlNode;

// Which bar an element of the note list lies in, counted from 1, kept as a
// cursor moves: each answer walks only from the last one (both ways at
// once, so a jump back to a repeat costs what it skips), never the list.
class BarCounter {
public:
    // The number of bars from first up to and including at (at least 1);
    // first is the note list's first element, at one of its elements.
    long barOf(XPxmlNode* first, XPxmlNode* at);

private:
    XPxmlNode* m_first = nullptr;
    XPxmlNode* m_at = nullptr; // the last element asked for
    long m_bars = 0;                 // bars from m_first up to m_at
};
