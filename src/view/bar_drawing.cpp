#include "view/bar_drawing.h"

#include "doc/music_vocabulary.h"
#include "view/frame_canvas.h"
#include "view/visible_range.h"
#include "xml/xpxml.h"

#include <cstring>

namespace {

constexpr uint32_t kManualBarGreen = 0x009B00;
constexpr uint32_t kErrorTint = 0x000037;

bool is(const char* text, const char* keyword)
{
    return text && xpxmlNameEquals(text, keyword);
}

// Black frame and a red tint over the measure that bar closes.
void drawErrorBand(FrameCanvas& canvas, const XPxmlNode* bar)
{
    const XPxmlNode* opening = prevElement(bar);
    while (opening && !isBar(opening))
        opening = prevElement(opening);
    if (!opening)
        return;
    const int left = canvas.tineX(0) - 1;
    const int right = canvas.tineX(canvas.n);
    const int top = canvas.band(bar).bottom();
    const int bottom = canvas.band(opening).top;
    canvas.frame(left, top, right, bottom, Qt::black);
    canvas.orBlock(left, top, right, bottom, kErrorTint);
}

void repeatDots(FrameCanvas& canvas, int cx, int top)
{
    const int r = canvas.m.repeatDot;
    const int t = canvas.m.tineWidth;
    QPainter& p = canvas.painter;
    p.setPen(canvas.tools.outlinePen);
    p.setBrush(canvas.tools.blackBrush);
    canvas.ellipse(cx - r - t, top, cx - t, top + r);
    canvas.ellipse(cx + t, top, cx + t + r, top + r);
}

} // namespace

void drawTimeSignature(FrameCanvas& canvas, const XPxmlNode* bar)
{
    const char* timing = bar->getAttribute(MusicAttr::Timing);
    if (!timing || !*timing)
        return;
    const long beats = xpxmlLeadingInteger(timing + 1);
    const char* slash = std::strchr(timing, '/');
    const long unit = slash ? xpxmlLeadingInteger(slash + 1) : 0;
    const QString text = QStringLiteral("%1/%2").arg(beats).arg(unit);
    canvas.text(canvas.tineX(0) - canvas.textWidth(text) - 5, canvas.band(bar).top, text);
}

void drawBar(FrameCanvas& canvas, const XPxmlNode* bar, long number, bool opening, bool first, bool last)
{
    const LayoutMetrics& m = canvas.m;
    const FrameCanvas::Band b = canvas.band(bar);
    const int x0 = canvas.tineX(0);
    const int x1 = canvas.tineX(canvas.n - 1) + m.tineWidth;
    const int width = x1 - x0;
    const int cx = x0 + width / 2;
    const QColor colour = colorFromRef(is(bar->getAttribute(MusicAttr::Type), MusicValue::Auto) ? 0 : kManualBarGreen);
    const char* modifier = bar->getAttribute(MusicAttr::Modifier);
    int t = m.thinLine;
    const bool leftOut = opening && !canvas.options.drawFirstBar && !modifier;

    int c = b.top + b.height / 2 - t / 2;
    if (last) {
        t = m.thickLine;
        c = b.top;
    } else if (first) {
        c = b.top + b.height - t;
    }
    if (modifier)
        t = m.thickLine;

    if (canvas.options.barNumbers && !last) {
        const QString text = QString::number(number);
        canvas.text(x1 + canvas.scaled(5), c - canvas.textHeight() / 2, text);
    }
    if (leftOut)
        return;
    canvas.fill(x0, c, width, t, colour);

    const bool both = is(modifier, MusicValue::BothRepeat);
    const int r = m.repeatDot;
    if (both || is(modifier, MusicValue::OpenRepeat)) {
        const int g = c - canvas.scaled(3) - m.thinLine;
        canvas.fill(x0, g, width, m.thinLine, colour);
        repeatDots(canvas, cx, g - 2 * r);
    }
    if (both || is(modifier, MusicValue::CloseRepeat)) {
        const int u = c + t + canvas.scaled(3);
        canvas.fill(x0, u, width, m.thinLine, colour);
        const int u2 = u + r + m.thinLine;
        repeatDots(canvas, cx, u2);
        long count = 0;
        int countRight = cx;
        if (bar->getAttributeNumber(MusicAttr::RepeatCount, &count) && count > 1) {
            const QString text = QString::number(count);
            canvas.text(cx - canvas.textWidth(text) / 2, u2 - canvas.textHeight() / 2, text);
            countRight = cx + canvas.textWidth(text) / 2;
        }
        // While the section plays: its pass, beside the count.
        if (const char* pass = bar->getAttribute(MusicAttr::Pass))
            canvas.text(countRight + canvas.scaled(6), u2 - canvas.textHeight() / 2, QString::fromUtf8(pass));
    }
    if (!modifier && last)
        canvas.fill(x0, c + m.thickLine + canvas.scaled(3), width, m.thinLine, colour);
    if (bar->getAttribute(MusicAttr::Error))
        drawErrorBand(canvas, bar);
}
