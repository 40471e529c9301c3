#include "view/cursor_drawing.h"

#include "view/frame_canvas.h"
#include "view/tablature_painter.h"
#include "view/visible_range.h"
#include "view/view_layout.h"
#include "xml/xpxml.h"

namespace {

constexpr uint32_t kHighlightTint = 0x003700;
constexpr uint32_t kCursorCellXor = 0x3C3C3C;

} // namespace

void drawCursor(FrameCanvas& canvas, const CursorMarks& cursor)
{
    if (!cursor.element)
        return;
    const XPxmlNode* upper = cursor.element;
    FrameCanvas::Band lowerBand = canvas.band(cursor.element);
    FrameCanvas::Band upperBand = lowerBand;
    if (cursor.selectionAnchor && cursor.selectionEnd) {
        // Later in the music lies higher on the page.
        const ViewLayout::Band a = canvas.layout.EventBand(cursor.selectionAnchor);
        const ViewLayout::Band b = canvas.layout.EventBand(cursor.selectionEnd);
        const bool anchorLater = a.top < b.top;
        upper = anchorLater ? cursor.selectionAnchor : cursor.selectionEnd;
        upperBand = canvas.band(upper);
        lowerBand = canvas.band(anchorLater ? cursor.selectionEnd : cursor.selectionAnchor);
    }
    int top = upperBand.top - 1;
    const int bottom = lowerBand.bottom() + 1;
    if (const XPxmlNode* above = upper->nextElementSibling())
        top = canvas.band(above).bottom();
    const int left = canvas.tineX(0) - 1;
    const int right = canvas.tineX(canvas.n);
    canvas.frame(left, top, right, bottom, Qt::black);
    canvas.orBlock(left, top, right, bottom, kHighlightTint);

    if (cursor.playing || isBar(cursor.element) || cursor.selectionAnchor || cursor.tine < 0 ||
        cursor.tine >= canvas.n)
        return;
    const int cellLeft = canvas.tineX(cursor.tine);
    const int cellRight = cellLeft + canvas.m.tineWidth;
    canvas.xorBlock(cellLeft, top, cellRight, bottom, kCursorCellXor);
    canvas.frame(cellLeft, top, cellRight, bottom, canvas.tools.cursorCellBrush.color());
}
