#include "view/cursor_drawing.h"

#include "view/frame_canvas.h"
#include "view/tablature_painter.h"
#include "view/visible_range.h"
#include "view/view_layout.h"
#include "xml/xpxml.h"

#include <utility>

namespace {

constexpr uint32_t kHighlightTint = 0x003700;
constexpr uint32_t kCursorCellXor = 0x3C3C3C;
// The cursor over a selection: amber, multiplied in so that its notes stay black.
constexpr uint32_t kPlayTint = 0x40A8FF;

// Rows top … bottom − 1 that highlight the elements lower … upper: their
// bands and the gap above upper.
struct Rows {
    int top;
    int bottom;
};

Rows highlightRows(const FrameCanvas& canvas, const XPxmlNode* lower, const XPxmlNode* upper)
{
    Rows rows{canvas.band(upper).top - 1, canvas.band(lower).bottom() + 1};
    if (const XPxmlNode* above = upper->nextElementSibling())
        rows.top = canvas.band(above).bottom();
    return rows;
}

// The selection's ends, the earlier (lower on the page) first.
std::pair<const XPxmlNode*, const XPxmlNode*> inOrder(const FrameCanvas& canvas, const CursorMarks& cursor)
{
    const bool anchorLater = canvas.layout.EventBand(cursor.selectionAnchor).top <
                             canvas.layout.EventBand(cursor.selectionEnd).top;
    if (anchorLater)
        return {cursor.selectionEnd, cursor.selectionAnchor};
    return {cursor.selectionAnchor, cursor.selectionEnd};
}

void drawCell(FrameCanvas& canvas, const CursorMarks& cursor, Rows rows)
{
    if (cursor.playing || isBar(cursor.element) || cursor.tine < 0 || cursor.tine >= canvas.n)
        return;
    const int cellLeft = canvas.tineX(cursor.tine);
    const int cellRight = cellLeft + canvas.m.tineWidth;
    canvas.xorBlock(cellLeft, rows.top, cellRight, rows.bottom, kCursorCellXor);
    canvas.frame(cellLeft, rows.top, cellRight, rows.bottom, canvas.tools.cursorCellBrush.color());
}

} // namespace

void drawCursor(FrameCanvas& canvas, const CursorMarks& cursor)
{
    if (!cursor.element)
        return;
    const int left = canvas.tineX(0) - 1;
    const int right = canvas.tineX(canvas.n);
    const bool selection = cursor.selectionAnchor && cursor.selectionEnd;
    const auto [lower, upper] = selection ? inOrder(canvas, cursor) : std::pair{cursor.element, cursor.element};
    const Rows highlight = highlightRows(canvas, lower, upper);
    canvas.frame(left, highlight.top, right, highlight.bottom, Qt::black);
    canvas.orBlock(left, highlight.top, right, highlight.bottom, kHighlightTint);
    if (!selection) {
        if (!cursor.selectionAnchor)
            drawCell(canvas, cursor, highlight);
        return;
    }
    if (!cursor.playing && !cursor.cursorOverSelection)
        return;
    // The row being played, or where the playing stopped: a band of its own,
    // its frame a pixel wider on each side than the selection's.
    const Rows rows = highlightRows(canvas, cursor.element, cursor.element);
    const QColor frame = canvas.tools.playingBrush.color();
    canvas.multiplyBlock(left, rows.top, right, rows.bottom, kPlayTint);
    canvas.frame(left - 1, rows.top - 1, right + 1, rows.bottom + 1, frame);
    canvas.frame(left, rows.top, right, rows.bottom, frame);
    drawCell(canvas, cursor, rows);
}
