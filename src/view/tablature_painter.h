#pragma once

#include "view/frame_canvas.h"
#include "view/visible_range.h"

#include <QImage>
#include <QSize>

#include <vector>

class CZolvaDoc;
class ViewLayout;
class XPxmlNode;

// The cursor and selection as a paint sees them, with the wrong tines a
// player just plucked along.
struct CursorMarks {
    const XPxmlNode* element = nullptr;
    int tine = 0;
    const XPxmlNode* selectionAnchor = nullptr;
    const XPxmlNode* selectionEnd = nullptr;
    bool playing = false;
    // With a selection the cursor shows over it while playing, and when this
    // is set (a Stop left it inside the selection) also afterwards.
    bool cursorOverSelection = false;
    // Numbered from 1: their lanes show red.
    std::vector<int> wrongTines;
};

// Draws the visible part of a view's tablature into an off-screen frame: no
// window needed, so that tests can look at the pixels.
class TablaturePainter {
public:
    // Draws the part of layout's document that the layout's viewport shows
    // into frame, made anew: as wide as the wider of the document and client,
    // as high as the client, white, rows in window coordinates. The frame
    // holds ratio device pixels per layout pixel and is marked with that
    // ratio. False when another paint is running or there is nothing to draw
    // on (the frame is then left as it was).
    bool OnDraw(QImage& frame, ViewLayout& layout, QSize client, const CursorMarks& cursor, double ratio = 1.0);
    // Layout has run again: bar numbers must be counted afresh.
    void layoutChanged() { m_range.forget(); }

private:
    bool m_busy = false;
    VisibleRangeFinder m_range;
    ShapeSprites m_sprites;
};
