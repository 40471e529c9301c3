#include "view/lane_drawing.h"

#include "doc/eight_bit_text.h"
#include "view/frame_canvas.h"

#include <algorithm>

namespace {

// Lane i's outline box over the rows of span, and its fill.
struct LaneBox {
    int left, top, right, bottom;
    const QBrush& brush;
};

LaneBox laneBox(const FrameCanvas& canvas, int i, FrameCanvas::Band span, const std::string& shade)
{
    const bool shaded = size_t(i) < shade.size() && shade[size_t(i)] == '1';
    const int x = canvas.tineX(i);
    return {x, span.top, x + canvas.m.tineWidth, span.top + span.height + 1 + canvas.vOffset(i),
            shaded ? canvas.tools.shadeBrush : canvas.tools.laneBrush};
}

} // namespace

void drawLanes(FrameCanvas& canvas, FrameCanvas::Band span, const std::string& shade)
{
    for (int i = 0; i < canvas.n; ++i) {
        const LaneBox box = laneBox(canvas, i, span, shade);
        canvas.lane(box.left, box.top, box.right, box.bottom, canvas.tools.outlinePen, box.brush);
    }
}

QRect lanesCover(const FrameCanvas& canvas, FrameCanvas::Band span, const std::string& shade)
{
    QRect cover;
    for (int i = 0; i < canvas.n; ++i) {
        const LaneBox box = laneBox(canvas, i, span, shade);
        const QRect middle =
            canvas.laneMiddle(box.left, box.top, box.right, box.bottom, canvas.tools.outlinePen, box.brush);
        // Only lanes side by side, each starting where the one before ends
        // or earlier, leave no gap between them.
        if (middle.isEmpty() || (i > 0 && (middle.left() > cover.right() + 1 || middle.right() < cover.right())))
            return {};
        cover = i == 0 ? middle
                       : QRect(QPoint(cover.left(), std::max(cover.top(), middle.top())),
                               QPoint(middle.right(), std::min(cover.bottom(), middle.bottom())));
        if (cover.isEmpty())
            return {};
    }
    return cover;
}

void drawTineLabels(FrameCanvas& canvas, const XPxmlNode* first)
{
    const int y0 = canvas.band(first).bottom() + 5;
    for (int i = 0; i < canvas.n; ++i) {
        const QString label = textFromBytes(canvas.options.tineLabel(i));
        canvas.text(canvas.tineX(i) + (canvas.m.tineWidth - canvas.textWidth(label)) / 2, y0 + canvas.vOffset(i),
                    label);
    }
}

void drawCentreLine(FrameCanvas& canvas, FrameCanvas::Band span)
{
    const int top = span.top;
    int height = span.height + 1 + 14;
    if (canvas.options.vTines)
        height += canvas.n / 2 * canvas.m.vStep;
    const int width = canvas.m.centreLineWidth;
    canvas.fillBlack(canvas.tineX(canvas.n / 2) - width / 2, top, width, height);
}
