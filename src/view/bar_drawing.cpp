#include "view/bar_drawing.h"

#include "doc/music_vocabulary.h"
#include "view/frame_canvas.h"
#include "view/visible_range.h"
#include "xml/xpxml.h"
#include "doc/note_steps.h"

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
    const XPxmlNode* opening = previousElement(bar);
    while (opening && !isBar(opening))
        opening = previousElement(opening);
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

// What the badge reads for a pass written "2/3", or "2" in a section that
// repeats until Stop.
QString passText(const char* pass)
{
    const QString written = QString::fromUtf8(pass);
    const qsizetype slash = written.indexOf(u'/');
    if (slash < 0)
        return QStringLiteral("pass %1").arg(written);
    return QStringLiteral("pass %1 of %2").arg(written.left(slash), written.mid(slash + 1));
}

// The pass in a framed box whose text starts at x on the row of text at y,
// right of the lanes where neither repeat dots nor bar lines reach.
void drawPassBadge(FrameCanvas& canvas, int x, int y, const char* pass)
{
    const QString text = passText(pass);
    const int pad = canvas.scaled(3);
    const int left = x - pad - 2;
    const int right = x + canvas.textWidth(text) + pad + 2;
    const int top = y - 2;
    const int bottom = y + canvas.textHeight() + 2;
    const QColor frame = canvas.tools.playingBrush.color();
    canvas.fill(left, top, right - left, bottom - top, Qt::white);
    canvas.frame(left, top, right, bottom, frame);
    canvas.frame(left + 1, top + 1, right - 1, bottom - 1, frame);
    canvas.text(x, y, text);
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

    // Right of the lanes on the line's row: the bar's number, then the pass
    // of the repeat it closes while that plays.
    const int textY = c - canvas.textHeight() / 2;
    int textX = x1 + canvas.scaled(5);
    if (canvas.options.barNumbers && !last) {
        const QString text = QString::number(number);
        canvas.text(textX, textY, text);
        textX += canvas.textWidth(text) + canvas.scaled(8);
    }
    if (const char* pass = bar->getAttribute(MusicAttr::Pass))
        drawPassBadge(canvas, textX + canvas.scaled(5), textY, pass);
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
        if (bar->getAttributeNumber(MusicAttr::RepeatCount, &count) && count > 1) {
            const QString text = QString::number(count);
            canvas.text(cx - canvas.textWidth(text) / 2, u2 - canvas.textHeight() / 2, text);
        }
    }
    if (!modifier && last)
        canvas.fill(x0, c + m.thickLine + canvas.scaled(3), width, m.thinLine, colour);
    if (bar->getAttribute(MusicAttr::Error))
        drawErrorBand(canvas, bar);
}
