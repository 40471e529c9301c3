#pragma once

#include <cstdint>

class ViewLayout;
class XPxmlNode;

// Whether an element of the note list is a "Bar".
bool isBar(const XPxmlNode* element);

// The stretch of the note list one paint draws: from the bar at or before
// the first partly visible element up to the first bar after the last
// partly visible one that does not show (in order: the first bar above the
// window), or the end of the list.
struct VisibleRange {
    XPxmlNode* start = nullptr; // null: nothing of the music shows
    XPxmlNode* end = nullptr;
    long startBar = 1;          // the number of the first bar drawn (the opening bar is 1)
    bool opening = false;       // start is the first element of the list
};

// Finds the visible range through the layout's band index and numbers its
// bar from the bar last numbered, so that a paint costs the same anywhere in
// a long piece, whatever order the layout put the bands in. Forget whenever
// layout has run again.
class VisibleRangeFinder {
public:
    VisibleRange find(const ViewLayout& layout, const XPxmlNode* noteList);
    void forget() { m_known = nullptr; }

private:
    // Bars before the child at index, counting from the bar last numbered.
    long barsBefore(const XPxmlNode* noteList, XPxmlNode* child, uint32_t index);

    XPxmlNode* m_known = nullptr;
    uint32_t m_knownIndex = 0;
    long m_knownBarsBefore = 0;
};
