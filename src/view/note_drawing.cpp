#include "view/note_drawing.h"

#include "doc/music_vocabulary.h"
#include "view/event_facts.h"
#include "view/frame_canvas.h"
#include "doc/measure_beats.h"
#include "doc/tine_numbers.h"
#include "view/visible_range.h"
#include "xml/xpxml.h"
#include "doc/note_steps.h"

#include <algorithm>

namespace {

constexpr uint32_t kEmptyNoteTint = 0x191919;

// A note written without value or tines: shown as a faint band over its slot
// and the gap above it, so that it can still be found and selected.
void drawEmptyNote(FrameCanvas& canvas, const XPxmlNode* note)
{
    const FrameCanvas::Band b = canvas.band(note);
    const XPxmlNode* next = note->nextElementSibling();
    const int top = next ? canvas.band(next).bottom() : b.top - 1;
    canvas.orBlock(canvas.tineX(0) - 1, top, canvas.tineX(canvas.n), b.bottom() + 1, kEmptyNoteTint);
}

// How many strokes, flags or beam levels a value has: 8 → 1, 16 → 2, 32 → 3, 64 → 4.
int levelsOf(int value)
{
    int levels = 0;
    for (int count = value / 8; count > 0; count /= 2)
        ++levels;
    return levels;
}

bool isFilledValue(int m)
{
    return m >= 4 && m <= 64;
}

void dotPair(FrameCanvas& canvas, int left, int top, int dots, int step)
{
    const int d = canvas.m.dotSize;
    for (int i = 0; i < dots; ++i)
        canvas.ellipse(left, top - i * step, left + d, top - i * step + d);
}

// One head: its box's left edge and top, the head size, the dot size, and the value.
struct Head {
    int left;
    int top;
    int w;
    int d;
    int m;
    int dots;
    int cx() const { return left + w / 2; }
};

void drawModernHead(FrameCanvas& canvas, const Head& h)
{
    const DrawingTools& tools = canvas.tools;
    QPainter& p = canvas.painter;
    const auto [left, y, w, d, m, dots] = h;
    const int cx = h.cx();
    if (m == 1 || m == 2) {
        p.setPen(tools.outlinePen);
        p.setBrush(tools.whiteBrush);
        canvas.ellipse(left, y, left + w, y + w);
        if (m == 2)
            canvas.line(cx, y, cx, y + w);
        p.setPen(tools.whitePen);
        p.setBrush(tools.blackBrush);
    } else if (m == 4 || m == 8 || m == 16 || m == 32 || m == 64) {
        p.setPen(tools.whitePen);
        p.setBrush(tools.blackBrush);
        canvas.ellipse(left, y, left + w, y + w);
        canvas.line(cx, y, cx, y + w);
        for (int j = 1; j <= levelsOf(m); ++j)
            canvas.line(cx, y + 3 * j, left + w - 2, y + 3 * j);
        p.setPen(tools.outlinePen);
        p.setBrush(tools.whiteBrush);
    } else {
        p.setPen(tools.outlinePen);
        p.setBrush(tools.blackBrush);
    }
    if (dots > 0)
        dotPair(canvas, left + w / 4 - d / 2, y + dots * d, dots, int(1.5 * d));
}

void drawTailedHead(FrameCanvas& canvas, const Head& h)
{
    const DrawingTools& tools = canvas.tools;
    QPainter& p = canvas.painter;
    const auto [left, top, w, d, m, dots] = h;
    const int cx = h.cx();
    p.setPen(tools.outlinePen);
    if (m == 1 || m == 2 || isFilledValue(m)) {
        p.setBrush(m <= 2 ? tools.whiteBrush : tools.blackBrush);
        canvas.ellipse(left, top, left + w, top + w + 1);
    }
    if (m == 2 || isFilledValue(m)) {
        const int stemLeft = canvas.tineX(0) - canvas.m.stemReach;
        canvas.fillBlack(stemLeft, top, cx - stemLeft, std::max(1, canvas.scaled(1)));
    }
    p.setBrush(tools.blackBrush);
    const int step = int(1.5 * d);
    if (dots > 0)
        dotPair(canvas, cx - d / 2, top - step, dots, step);
}

// Flags, or the beam segments joining a group, at the left end of the stems.
void drawFlagsAndBeams(FrameCanvas& canvas, const EventFacts& facts, const char* previousValue, NoteStyle style)
{
    const LayoutMetrics& m = canvas.m;
    const bool tailed = style == NoteStyle::Tailed;
    const FrameCanvas::Band b = canvas.band(facts.node);
    const int top = b.bottom() - m.noteSize;
    const int beamWidth = tailed ? 2 * m.beamWidth : m.beamWidth;
    int w = canvas.tineX(0) - m.stemReach;
    int count = facts.valueNumber / 8;
    int previousCount = previousValue ? int(xpxmlLeadingInteger(previousValue) / 8) : 0;
    int previousDots = previousValue ? valueDots(previousValue) : 0;
    const XPxmlNode* before = previousElement(facts.node);
    const int belowTop = before ? canvas.band(before).top : b.bottom();
    QPainter& p = canvas.painter;
    p.setPen(canvas.tools.outlinePen);
    while (count > 0) {
        if (facts.beam) {
            int upper = top;
            int lower = belowTop + previousDots * m.dotSize;
            if (facts.beam == MusicValue::GroupFirst[0]) {
                upper = top - m.noteSize;
                lower = top;
            } else if (facts.beam == MusicValue::GroupLast[0] && previousCount == 0) {
                lower -= m.noteSize;
            } else if (facts.beam == MusicValue::GroupInner[0] && previousCount == 0) {
                lower = top - m.noteSize; // a short piece upward where the note before has no beam at this level
            }
            canvas.fillBlack(w, std::min(upper, lower), beamWidth, std::abs(lower - upper));
        } else {
            canvas.line(w, top, w + m.noteSize, top - m.noteSize);
            if (tailed) {
                for (int from : {-canvas.scaled(1), -canvas.scaled(2), -canvas.scaled(3), canvas.scaled(1)})
                    canvas.line(w + from, top, w + m.noteSize, top - m.noteSize);
                canvas.line(w + canvas.scaled(1), top, w + m.noteSize + canvas.scaled(7),
                            top - m.noteSize + canvas.scaled(1));
            }
        }
        count /= 2;
        previousCount /= 2;
        if (count != 0)
            w += 2 * beamWidth;
    }
}

} // namespace

void drawNote(FrameCanvas& canvas, const EventFacts& facts, const char* previousValue, NoteStyle style)
{
    if (!facts.value || !*facts.value || !facts.hasTines) {
        drawEmptyNote(canvas, facts.node);
        return;
    }
    TineNumbers sounding = readTineNumbers(facts.node->getAttribute(MusicAttr::Tines), canvas.n);
    if (sounding.count == 0)
        return;
    std::sort(sounding.tines.begin(), sounding.tines.begin() + sounding.count);
    const LayoutMetrics& m = canvas.m;
    const FrameCanvas::Band b = canvas.band(facts.node);
    for (int k = 0; k < sounding.count; ++k) {
        const int left = headLeft(canvas.tineX(sounding.tines[size_t(k)] - 1), m);
        const int top = int(headTop(b.top, b.bottom(), m, style));
        const Head head{left, top, m.noteSize, m.dotSize, facts.valueNumber, facts.dots};
        if (style == NoteStyle::Modern)
            drawModernHead(canvas, head);
        else
            drawTailedHead(canvas, head);
    }
    if (style != NoteStyle::Modern && isFilledValue(facts.valueNumber))
        drawFlagsAndBeams(canvas, facts, previousValue, style);
}
