#include "view/visible_range.h"

#include "doc/note_steps.h"

#include "doc/music_vocabulary.h"
#include "view/view_layout.h"
#include "xml/xpxml.h"

namespace {

bool isElement(const XPxmlNode* node)
{
    return node && node->kind() == XPxmlKind::Element;
}

} // namespace

bool isBar(const XPxmlNode* element)
{
    return isElement(element) && xpxmlNameEquals(element->name(), MusicElement::Bar);
}

VisibleRange VisibleRangeFinder::find(const ViewLayout& layout, const XPxmlNode* noteList)
{
    VisibleRange range;
    const int64_t windowTop = layout.scrollY();
    const int64_t windowBottom = windowTop + layout.clientHeight();
    const BandIndex::Found shown = layout.bands().firstMeeting(noteList, windowTop, windowBottom);
    if (!shown.element)
        return range;

    XPxmlNode* start = shown.element;
    uint32_t startIndex = shown.child;
    while (!isBar(start)) {
        XPxmlNode* before = previousElement(start);
        if (!before)
            break;
        for (XPxmlNode* node = start->prevSibling(); node != before; node = node->prevSibling())
            --startIndex;
        --startIndex;
        start = before;
    }
    range.start = start;
    range.opening = !previousElement(start);
    // The first bar drawn is one more than the bars before the start, also
    // when music without an opening bar shows its first notes.
    range.startBar = barsBefore(noteList, start, startIndex) + 1;

    XPxmlNode* const last = layout.bands().lastMeeting(noteList, windowTop, windowBottom).element;
    XPxmlNode* end = last;
    for (XPxmlNode* next = last; next; next = next->nextElementSibling()) {
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
