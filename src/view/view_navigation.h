#pragma once

#include "view/cursor_primitives.h"

#include <QPoint>

class ViewLayout;
class XPxmlNode;
struct ViewCursor;

// Moving a view's cursor and selection with keys, clicks and the Home and End
// commands. No widget: the view hands over its layout (scrolled where its
// window is), its cursor and how it sounds, and does the repainting and
// scrolling the results ask for. Elements are "next" in list order, which is
// upwards on the screen.
struct NavigationView {
    ViewLayout& layout;
    ViewCursor& cursor;
    XPxmlNode* noteList = nullptr;
    TineSound sound;
    bool playing = false;
};

// SetCursor on the view's cursor: element (none: the first) in column tine,
// previewed when the cursor was elsewhere.
void MoveCursor(NavigationView& view, XPxmlNode* element, int tine);

// Whether element's band lies wholly inside the window; false for none.
bool IsFullyVisible(const ViewLayout& layout, const XPxmlNode* element);

// The first wholly visible element in list order, how many wholly visible
// elements follow it without a gap, and the last of them (none when the run
// reaches the end of the list; also none when nothing is wholly visible).
struct VisibleRun {
    XPxmlNode* first = nullptr;
    int count = 0;
    XPxmlNode* last = nullptr;
};
VisibleRun FindVisibleRun(const ViewLayout& layout, const XPxmlNode* noteList);
// The same for a run that starts at first, a wholly visible element; none for none.
VisibleRun VisibleRunFrom(const ViewLayout& layout, XPxmlNode* first);

enum class HitCode {
    Nothing = 0,     // outside the tablature, or on no element's band
    Element = 1,     // on an element's band, in a lane
    BeyondLanes = 3, // on an element's band, right of the last lane
};
struct Hit {
    HitCode code = HitCode::Nothing;
    XPxmlNode* element = nullptr;
    int tine = 0; // the lane under the point, or cursorTine outside the tablature
};
// What a point in document coordinates falls on. An element's band for hits
// reaches up to the next element's lower edge, so the gaps count too. When
// bands do not rise along the list (ViewLayout::inOrder), they may overlap:
// the point takes the note whose head shows under it, else the element drawn
// on its row, or in a gap the nearest one below it.
Hit HitTest(const ViewLayout& layout, const XPxmlNode* noteList, int tineCount, QPoint point, int cursorTine);

// Sounds tine (0-based) alone, unless the view is playing.
void PlayTine(const NavigationView& view, int tine);

// What the view does once a key has been handled.
enum class KeyResult {
    NotOurs,     // a key navigation does not use: default processing only
    NoAction,    // ours, but nothing moved
    PlayAll,     // carry out the application's Play
    StopPlaying, // carry out the application's Stop Playing
    Moved,       // repaint, or scroll to the cursor when it is not wholly visible
    Paged,       // scroll to the cursor, then as Moved
};
// A key pressed in the view (a Qt::Key), with shiftDown telling whether Shift is held.
KeyResult OnKeyDown(NavigationView& view, int key, bool shiftDown);

// The left button pressed, or double-clicked, at point (document
// coordinates), with shift telling whether Shift was held. False while
// playing: nothing happens then; otherwise the view repaints.
bool OnLeftButtonDown(NavigationView& view, QPoint point, bool shift);

// Home and End commands: no selection, the cursor on the first or the last
// element in its column. The view then scrolls to it and repaints.
void CursorToFirst(NavigationView& view);
void CursorToLast(NavigationView& view);
