#include "view/lane_drawing.h"

#include "view/eight_bit_text.h"
#include "view/frame_canvas.h"

void drawLanes(FrameCanvas& canvas, FrameCanvas::Band span, const std::string& shade)
{
    const int top = span.top;
    const int height = span.height + 1;
    for (int i = 0; i < canvas.n; ++i) {
        const bool shaded = size_t(i) < shade.size() && shade[size_t(i)] == '1';
        const int x = canvas.tineX(i);
        canvas.lane(x, top, x + canvas.m.tineWidth, top + height + canvas.vOffset(i), canvas.tools.outlinePen,
                    shaded ? canvas.tools.shadeBrush : canvas.tools.laneBrush);
    }
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
