#include "view/lane_drawing.h"

#include "view/eight_bit_text.h"
#include "view/frame_canvas.h"

void drawLanes(FrameCanvas& canvas, FrameCanvas::Band span, const std::string& shade)
{
    const int top = span.top;
    const int height = span.height + 1;
    QPainter& p = canvas.painter;
    p.setPen(canvas.tools.outlinePen);
    for (int i = 0; i < canvas.n; ++i) {
        const bool shaded = size_t(i) < shade.size() && shade[size_t(i)] == '1';
        p.setBrush(shaded ? canvas.tools.shadeBrush : canvas.tools.laneBrush);
        const int x = canvas.tineX(i);
        const QRect lane = FrameCanvas::outlined(x, top, x + canvas.m.tineWidth, top + height + canvas.vOffset(i));
        p.drawRoundedRect(lane, 2, 4, Qt::AbsoluteSize);
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
