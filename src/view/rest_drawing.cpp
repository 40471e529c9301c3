#include "view/rest_drawing.h"

#include "view/event_facts.h"
#include "view/frame_canvas.h"

#include <QPolygon>

namespace {

struct Dot {
    int left = 0;
    int top = 0;
};

// Whole and half rests: a block hanging from or standing on the band's middle line.
Dot drawBlock(FrameCanvas& canvas, int x, int y, int bandHeight, bool whole)
{
    const int size = int(0.7 * canvas.m.noteSize);
    const int left = whole ? x : x - size;
    const int top = y + bandHeight - 2 * size;
    canvas.fillBlack(left, top, size, 2 * size);
    const int d = canvas.m.dotSize;
    return {whole ? x + size - d : x - size, top - int(1.5 * d)};
}

Dot drawQuarter(FrameCanvas& canvas, int x, int y)
{
    const int w = canvas.m.noteSize;
    const int d = canvas.m.dotSize;
    const int a = x - int(1.8 * w);
    const int b = y + w / 2;
    const int q8 = int(0.8 * w);
    const int a2 = a + int(0.6 * w) + q8;
    const int a3 = a2 + int(0.2 * w) + q8;
    const QPolygon zigzag({QPoint(a, b), QPoint(a + q8, b - d), QPoint(a2, b), QPoint(a2 + q8, b - d), QPoint(a3, b),
                           QPoint(a3 + int(0.5 * w), b - int(0.5 * d))});
    canvas.painter.setPen(canvas.tools.doublePen);
    canvas.painter.drawPolyline(zigzag);
    canvas.painter.setPen(canvas.tools.outlinePen);
    return {a + d / 2, y - d};
}

// Eighth and shorter: a slanting line with one hook per level.
Dot drawHooked(FrameCanvas& canvas, int x, int y, int m)
{
    const int w = canvas.m.noteSize;
    const int d = canvas.m.dotSize;
    const int pullIn = m == 8 ? 6 : m == 16 ? 4 : m == 32 ? 2 : 0;
    const int l = x - 2 * w + d / 2 * pullIn;
    const int r = x + 2 * w - d / 2 * pullIn;
    const int slope = int((r - l) * 0.25);
    canvas.line(l, y, r, y + slope);
    int j = 0;
    for (int count = m; count > 7; count /= 2, ++j) {
        const int hx = l + j * int(1.5 * d);
        const int lineY = r > l ? y + int((hx - l) * 0.25) : y;
        const int circleTop = lineY + d;
        canvas.ellipse(hx, circleTop, hx + d, circleTop + d);
        canvas.line(hx, lineY, hx + d - 1, circleTop + d / 2);
    }
    return {l + d / 4, y - int(1.5 * d)};
}

void drawGlyph(FrameCanvas& canvas, int x, const EventFacts& facts)
{
    const FrameCanvas::Band b = canvas.band(facts.node);
    const int d = canvas.m.dotSize;
    const int y = b.top + facts.dots * int(1.5 * d);
    const int m = facts.valueNumber;
    Dot dot;
    if (m == 1 || m == 2)
        dot = drawBlock(canvas, x, y, b.height, m == 1);
    else if (m == 4)
        dot = drawQuarter(canvas, x, y);
    else if (m == 8 || m == 16 || m == 32 || m == 64)
        dot = drawHooked(canvas, x, y, m);
    else
        return;
    for (int i = 0; i < facts.dots; ++i) {
        const int top = dot.top - i * int(1.5 * d);
        canvas.ellipse(dot.left, top, dot.left + d, top + d);
    }
}

} // namespace

void drawRest(FrameCanvas& canvas, const EventFacts& facts)
{
    canvas.painter.setPen(canvas.tools.outlinePen);
    canvas.painter.setBrush(canvas.tools.blackBrush);
    drawGlyph(canvas, canvas.tineX(canvas.n / 2 - 2), facts);
    drawGlyph(canvas, canvas.tineX(canvas.n / 2 + 2), facts);
}
