#include "view/view_navigation.h"

#include "doc/note_steps.h"
#include "view/note_heads.h"
#include "view/view_cursor.h"
#include "view/view_layout.h"

#include <QtCore/qnamespace.h>

#include <algorithm>

namespace {

using Band = ViewLayout::Band;

Band bandOf(const ViewLayout& layout, const XPxmlNode* element)
{
    return layout.EventBand(element, ViewLayout::Coordinates::Document);
}

// Shift extends the selection from where the cursor was to target; without
// Shift the selection goes.
void selectTowards(NavigationView& view, bool shiftDown, XPxmlNode* from, XPxmlNode* target)
{
    ViewCursor& cursor = view.cursor;
    if (!shiftDown) {
        cursor.clearSelection();
        return;
    }
    if (!cursor.selectionAnchor)
        cursor.selectionAnchor = from;
    cursor.selectionEnd = target;
}

// Home and End keys: to target, extending the selection with Shift.
KeyResult jumpTo(NavigationView& view, bool shiftDown, XPxmlNode* target)
{
    selectTowards(view, shiftDown, view.cursor.element.load(), target);
    MoveCursor(view, target, view.cursor.tine);
    return KeyResult::Moved;
}

// Up and Down keys: one element on, if there is one.
KeyResult stepTo(NavigationView& view, bool shiftDown, XPxmlNode* target)
{
    XPxmlNode* from = view.cursor.element.load();
    if (!from || !target)
        return KeyResult::NoAction;
    MoveCursor(view, target, view.cursor.tine);
    selectTowards(view, shiftDown, from, target);
    return KeyResult::Moved;
}

// Left and Right keys: the next column, sounding its tine alone.
KeyResult sideStep(NavigationView& view, int tine)
{
    if (tine < 0 || tine >= view.sound.tineCount)
        return KeyResult::NoAction;
    MoveCursor(view, view.cursor.element.load(), tine);
    // Without music there is nothing to sound.
    if (view.cursor.element.load())
        PlayTine(view, view.cursor.tine);
    return KeyResult::Moved;
}

// The element a click at document y takes when bands rise along the list:
// its band for hits reaches up to the next element's lower edge.
XPxmlNode* hitInOrder(const ViewLayout& layout, const XPxmlNode* noteList, int64_t y)
{
    // Only the element before the first one reaching the point can reach
    // it from below too: its band for hits stretches up to that one's.
    XPxmlNode* reaching = layout.bands().firstReaching(noteList, y).element;
    XPxmlNode* element = reaching ? previousElement(reaching) : nullptr;
    if (!element)
        element = reaching;
    for (; element; element = nextElement(element)) {
        const Band band = bandOf(layout, element);
        XPxmlNode* next = nextElement(element);
        const Band nextBand = bandOf(layout, next);
        const int64_t upper = next ? nextBand.top + nextBand.height : band.top;
        if (y >= upper && y <= band.top + band.height)
            return element;
    }
    return nullptr;
}

// Of heads drawn over one another at point, the one drawn last: what shows.
XPxmlNode* headAt(const ViewLayout& layout, const XPxmlNode* noteList, int tineCount, QPoint point)
{
    BandIndex::Found head;
    layout.bands().forEachMeeting(noteList, point.y(), point.y(), [&](BandIndex::Found found) {
        if ((!head.element || found.child > head.child) &&
            onNoteHead(layout, found.element, tineCount, point.x(), point.y()))
            head = found;
    });
    return head.element;
}

// The same when bands may overlap and lie below earlier ones, so that list
// order tells nothing of where they are: the note whose head is under the
// point; else the element drawn on the row (of overlapping ones, the one
// whose lower edge is nearest), else the nearest one below the row, as in
// order a gap belongs to the element below it; on the lowest band's lower
// edge, that one; above every band, none.
XPxmlNode* hitUnordered(const ViewLayout& layout, const XPxmlNode* noteList, int tineCount, QPoint point)
{
    const int64_t y = point.y();
    const BandIndex& bands = layout.bands();
    if (XPxmlNode* head = headAt(layout, noteList, tineCount, point))
        return head;
    if (XPxmlNode* on = bands.overRow(noteList, y).element)
        return on;
    if (!bands.firstReaching(noteList, y).element)
        return nullptr;
    if (XPxmlNode* below = bands.nextBelow(noteList, y).element)
        return below;
    return bands.endingOn(noteList, y).element;
}

} // namespace

void MoveCursor(NavigationView& view, XPxmlNode* element, int tine)
{
    CursorPlace place{view.cursor.element.load(), view.cursor.tine};
    SetCursor(view.sound, view.playing, view.noteList, place, element, tine);
    view.cursor.element.store(place.element);
    view.cursor.tine = place.tine;
}

bool IsFullyVisible(const ViewLayout& layout, const XPxmlNode* element)
{
    if (!element)
        return false;
    const Band band = bandOf(layout, element);
    const int64_t top = layout.scrollY();
    return band.top >= top && band.top + band.height <= top + layout.clientHeight();
}

VisibleRun FindVisibleRun(const ViewLayout& layout, const XPxmlNode* noteList)
{
    const int64_t windowTop = layout.scrollY();
    const int64_t windowBottom = windowTop + layout.clientHeight();
    return VisibleRunFrom(layout, layout.bands().firstInside(noteList, windowTop, windowBottom).element);
}

VisibleRun VisibleRunFrom(const ViewLayout& layout, XPxmlNode* first)
{
    VisibleRun run;
    if (!first)
        return run;
    run.first = first;
    XPxmlNode* element = first;
    XPxmlNode* next = nextElement(element);
    for (; next && IsFullyVisible(layout, next); next = nextElement(next)) {
        element = next;
        ++run.count;
    }
    run.last = next ? element : nullptr;
    return run;
}

Hit HitTest(const ViewLayout& layout, const XPxmlNode* noteList, int tineCount, QPoint point, int cursorTine)
{
    Hit hit;
    hit.tine = cursorTine;
    const int laneStart = layout.TineX(0);
    if (point.y() < layout.lowestHitY() || point.y() > layout.highestHitY() || point.x() < laneStart)
        return hit;
    const DisplayOptions& options = layout.options();
    const int pitch = std::max(1, options.metrics.tineWidth + options.metrics.tineGap);
    hit.tine = (point.x() - laneStart) / pitch;

    const int64_t y = point.y();
    hit.element = layout.inOrder() ? hitInOrder(layout, noteList, y) : hitUnordered(layout, noteList, tineCount, point);
    if (!hit.element)
        return hit;
    hit.code = point.x() > layout.TineX(std::clamp(tineCount, 0, 100)) - 1 ? HitCode::BeyondLanes : HitCode::Element;
    return hit;
}

void PlayTine(const NavigationView& view, int tine)
{
    if (view.playing || !view.sound.preview)
        return;
    const int tines[] = {tine + 1};
    view.sound.preview(tines);
}

KeyResult OnKeyDown(NavigationView& view, int key, bool shiftDown)
{
    if (view.playing)
        return key == Qt::Key_P || key == Qt::Key_S ? KeyResult::StopPlaying : KeyResult::NotOurs;

    ViewCursor& cursor = view.cursor;
    switch (key) {
    case Qt::Key_P:
        return KeyResult::PlayAll;
    case Qt::Key_PageUp: {
        const VisibleRun run = FindVisibleRun(view.layout, view.noteList);
        if (!run.last)
            return KeyResult::NoAction;
        MoveCursor(view, elementsAhead(run.last, run.count), cursor.tine);
        return KeyResult::Paged;
    }
    case Qt::Key_PageDown: {
        const VisibleRun run = FindVisibleRun(view.layout, view.noteList);
        if (!run.first)
            return KeyResult::NoAction;
        MoveCursor(view, elementsBehind(run.first, run.count), cursor.tine);
        return KeyResult::Paged;
    }
    case Qt::Key_End:
        return jumpTo(view, shiftDown, lastElement(view.noteList));
    case Qt::Key_Home:
        return jumpTo(view, shiftDown, firstElement(view.noteList));
    case Qt::Key_Left:
        return sideStep(view, cursor.tine - 1);
    case Qt::Key_Right:
        return sideStep(view, cursor.tine + 1);
    case Qt::Key_Up:
        return stepTo(view, shiftDown, nextElement(cursor.element.load()));
    case Qt::Key_Down:
        return stepTo(view, shiftDown, previousElement(cursor.element.load()));
    default:
        return KeyResult::NotOurs;
    }
}

bool OnLeftButtonDown(NavigationView& view, QPoint point, bool shift)
{
    if (view.playing)
        return false;
    ViewCursor& cursor = view.cursor;
    const Hit hit = HitTest(view.layout, view.noteList, view.sound.tineCount, point, cursor.tine);
    switch (hit.code) {
    case HitCode::Element:
        if (shift) {
            cursor.selectionAnchor = cursor.element.load();
            cursor.selectionEnd = hit.element;
        } else {
            cursor.clearSelection();
        }
        MoveCursor(view, hit.element, hit.tine);
        break;
    case HitCode::BeyondLanes:
        cursor.clearSelection();
        MoveCursor(view, hit.element, cursor.tine);
        break;
    case HitCode::Nothing:
        cursor.clearSelection();
        break;
    }
    return true;
}

void CursorToFirst(NavigationView& view)
{
    view.cursor.clearSelection();
    MoveCursor(view, firstElement(view.noteList), view.cursor.tine);
}

void CursorToLast(NavigationView& view)
{
    view.cursor.clearSelection();
    MoveCursor(view, lastElement(view.noteList), view.cursor.tine);
}
