#include "view/visible_range.h"

#include "doc/music_vocabulary.h"
#include "view/view_layout.h"
#include "xml/xpxml.h"

namespace {

bool isElement(const XPxmlNode* node)
{
    return node && node->kind() == XPxmlKind::Element;
}

// The first element at index or after, with its index; null past the end.
XPxmlNode* elementFrom(const XPxmlNode* list, uint32_t& index)
{
    XPxmlNode* node = list->childAt(index);
    while (node && !isElement(node)) {
        node = node->nextSibling();
        ++index;
    }
    return node;
}

// Whether element's band starts above the window's bottom edge: false
// along the list up to some index and true from there on.
bool reachesWindow(const ViewLayout& layout, const XPxmlNode* element, int64_t windowBottom)
{
    return layout.EventBand(element, ViewLayout::Coordinates::Document).top <= windowBottom;
}

} // namespace

bool isBar(const XPxmlNode* element)
{
    return isElement(element) && xpxmlNameEquals(element->name(), MusicElement::Bar);
}

XPxmlNode* prevElement(const XPxmlNode* element)
{
    XPxmlNode* node = element ? element->prevSibling() : nullptr;
    while (node && !isElement(node))
        node = node->prevSibling();
    return node;
}

namespace {

// firstElementReaching with the child index of what it finds.
XPxmlNode* firstReaching(const ViewLayout& layout, const XPxmlNode* noteList, int64_t y, uint32_t& low)
{
    low = 0;
    if (!layout.inOrder()) {
        XPxmlNode* element = elementFrom(noteList, low);
        while (element && !reachesWindow(layout, element, y))
            element = elementFrom(noteList, ++low);
        return element;
    }
    uint32_t high = noteList->childCount();
    while (low < high) {
        const uint32_t middle = low + (high - low) / 2;
        uint32_t index = middle;
        const XPxmlNode* element = elementFrom(noteList, index);
        if (!element || reachesWindow(layout, element, y))
            high = middle;
        else
            low = index + 1;
    }
    return elementFrom(noteList, low);
}

// The first and the last element that show, and the child index of the first.
struct Shown {
    XPxmlNode* first = nullptr;
    XPxmlNode* last = nullptr;
    uint32_t index = 0;
};

Shown shownElements(const ViewLayout& layout, const XPxmlNode* noteList)
{
    Shown shown;
    if (layout.inOrder()) {
        const int64_t windowBottom = int64_t(layout.scrollY()) + layout.clientHeight();
        XPxmlNode* first = firstReaching(layout, noteList, windowBottom, shown.index);
        // Bands may differ in height: the first that reaches the window may
        // still lie wholly above it, and then so does everything after it.
        // The walk to the range's end passes the rest that show.
        if (first && layout.IsPartlyVisible(first))
            shown.first = shown.last = first;
        return shown;
    }
    uint32_t index = 0;
    for (XPxmlNode* element = elementFrom(noteList, index); element; element = elementFrom(noteList, ++index)) {
        if (!layout.IsPartlyVisible(element))
            continue;
        if (!shown.first) {
            shown.first = element;
            shown.index = index;
        }
        shown.last = element;
    }
    return shown;
}

} // namespace

XPxmlNode* firstElementReaching(const ViewLayout& layout, const XPxmlNode* noteList, int64_t y)
{
    uint32_t index = 0;
    return noteList ? firstReaching(layout, noteList, y, index) : nullptr;
}

VisibleRange VisibleRangeFinder::find(const ViewLayout& layout, const XPxmlNode* noteList)
{
    VisibleRange range;
    if (!noteList)
        return range;
    const Shown shown = shownElements(layout, noteList);
    if (!shown.first)
        return range;

    XPxmlNode* start = shown.first;
    uint32_t startIndex = shown.index;
    while (!isBar(start)) {
        XPxmlNode* before = prevElement(start);
        if (!before)
            break;
        for (XPxmlNode* node = start->prevSibling(); node != before; node = node->prevSibling())
            --startIndex;
        --startIndex;
        start = before;
    }
    range.start = start;
    range.opening = !prevElement(start);
    // The first bar drawn is one more than the bars before the start, also
    // when music without an opening bar shows its first notes.
    range.startBar = barsBefore(noteList, start, startIndex) + 1;

    XPxmlNode* end = shown.last;
    for (XPxmlNode* next = shown.last; next; next = next->nextElementSibling()) {
        end = next;
        if (isBar(next) && !layout.IsPartlyVisible(next))
            break;
    }
    range.end = end;
    return range;
}

long VisibleRangeFinder::barsBefore(const XPxmlNode* noteList, XPxmlNode* child, uint32_t index)
{
    // The bar last numbered still stands where it stood: walk from it.
    if (!m_known || noteList->childAt(m_knownIndex) != m_known) {
        m_known = noteList->childAt(0);
        m_knownIndex = 0;
        m_knownBarsBefore = 0;
    }
    long bars = m_knownBarsBefore;
    XPxmlNode* node = m_known;
    uint32_t at = m_knownIndex;
    for (; node && at < index; ++at) {
        bars += isBar(node) ? 1 : 0;
        node = node->nextSibling();
    }
    for (; node && at > index; --at) {
        node = node->prevSibling();
        bars -= isBar(node) ? 1 : 0;
    }
    if (node == child) {
        m_known = node;
        m_knownIndex = at;
        m_knownBarsBefore = bars;
    }
    return bars;
}
