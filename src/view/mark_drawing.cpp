#include "view/mark_drawing.h"

#include "doc/music_vocabulary.h"
#include "doc/eight_bit_text.h"
#include "view/frame_canvas.h"
#include "doc/tine_numbers.h"
#include "xml/xpxml.h"
#include "doc/number_text.h"

#include <algorithm>

namespace {

// Qt measures arcs in sixteenths of a degree, anticlockwise from three o'clock.
constexpr int kDegree = 16;

} // namespace

void drawFermata(FrameCanvas& canvas, const XPxmlNode* element)
{
    const FrameCanvas::Band b = canvas.band(element);
    const int x = canvas.m.leftGutter - canvas.scaled(4);
    const int ym = b.top + b.height / 2;
    const int f = canvas.m.fermataHeight;
    const int w = canvas.m.noteSize;
    const int d = canvas.m.dotSize;
    QPainter& p = canvas.painter;
    p.setPen(canvas.tools.outlinePen);
    p.setBrush(Qt::NoBrush);
    p.drawArc(FrameCanvas::outlined(x - w, ym - f / 2, x, ym + f / 2), 90 * kDegree, 180 * kDegree);
    p.setBrush(canvas.tools.blackBrush);
    canvas.ellipse(x - d, ym - d / 2, x, ym - d / 2 + d);
}

void drawTupletBracket(FrameCanvas& canvas, const XPxmlNode* element)
{
    const XPxmlNode* last = element->nextElementSibling();
    while (last && !startsWithLetter(last->getAttribute(MusicAttr::Tuplet), MusicValue::GroupLast[0]))
        last = last->nextElementSibling();
    if (!last)
        return; // layout pairs every opening with an end; a list changed since has none
    const int bottom = canvas.band(element).bottom();
    const int top = canvas.band(last).top;
    const int a = canvas.tineX(0) - canvas.m.stemReach - canvas.scaled(2);
    const int outer = a - canvas.scaled(10);
    QPainter& p = canvas.painter;
    p.setPen(canvas.tools.outlinePen);
    const QPoint corners[4] = {QPoint(a, bottom), QPoint(outer, bottom), QPoint(outer, top), QPoint(a, top)};
    p.drawPolyline(corners, 4);
    canvas.text(outer - 3, canvas.band(element->nextElementSibling()).top, QStringLiteral("3"));
}

void drawTie(FrameCanvas& canvas, const XPxmlNode* note)
{
    const XPxmlNode* next = note->nextElementSibling();
    while (next && !xpxmlNameEquals(next->name(), MusicElement::Note))
        next = next->nextElementSibling();
    const TineNumbers sounding = readTineNumbers(note->getAttribute(MusicAttr::Tines), canvas.n);
    if (!next || sounding.count == 0)
        return;
    const int highest = *std::max_element(sounding.tines.begin(), sounding.tines.begin() + sounding.count) - 1;
    const int xl = canvas.tineX(highest + 1);
    const FrameCanvas::Band from = canvas.band(note);
    const FrameCanvas::Band to = canvas.band(next);
    const int top = to.top + to.height / 2;
    const int bottom = from.top + from.height / 2;
    QPainter& p = canvas.painter;
    p.setPen(canvas.tools.outlinePen);
    p.setBrush(Qt::NoBrush);
    p.drawArc(FrameCanvas::outlined(xl, top, xl + canvas.m.noteSize, bottom), -90 * kDegree, 180 * kDegree);
}

void drawTempo(FrameCanvas& canvas, const XPxmlNode* element, const char* tempo)
{
    const FrameCanvas::Band b = canvas.band(element);
    const XPxmlNode* next = element->nextElementSibling();
    int centre = b.top + b.height / 2;
    if (next) {
        const FrameCanvas::Band above = canvas.band(next);
        centre = above.bottom() + (b.top - above.top) / 2;
    }
    canvas.text(10, centre - canvas.textHeight() / 2, QStringLiteral("T=") + textFromBytes(tempo));
}

void drawLyric(FrameCanvas& canvas, const XPxmlNode* element, const char* text)
{
    canvas.text(canvas.tineX(canvas.n + 1), canvas.band(element).top - 3, textFromBytes(text));
}
