#include "view/music_drawing.h"

#include "doc/music_vocabulary.h"
#include "doc/number_text.h"
#include "doc/zolva_doc.h"
#include "view/bar_drawing.h"
#include "view/event_facts.h"
#include "view/frame_canvas.h"
#include "view/mark_drawing.h"
#include "view/note_drawing.h"
#include "view/rest_drawing.h"
#include "xml/xpxml.h"

namespace {

// A rest or note with its fermata and tuplet bracket.
void drawSounding(FrameCanvas& canvas, const EventFacts& facts, const char* previousValue, NoteStyle style)
{
    const XPxmlNode* e = facts.node;
    if (e->hasName(MusicElement::Rest)) {
        drawRest(canvas, facts);
    } else if (e->hasName(MusicElement::Note)) {
        drawNote(canvas, facts, previousValue, style);
        if (e->getAttribute(MusicAttr::Tie))
            drawTie(canvas, e);
    } else {
        return;
    }
    if (e->getAttribute(MusicAttr::Bird))
        drawFermata(canvas, e);
    if (facts.tuplet == MusicValue::GroupFirst[0])
        drawTupletBracket(canvas, e);
}

} // namespace

void drawMusic(FrameCanvas& canvas, const VisibleRange& range, const CZolvaDoc& doc)
{
    const XPxmlNode* first = doc.firstEvent();
    const XPxmlNode* last = doc.lastEvent();
    const auto style = NoteStyle(canvas.options.tailsStyle);
    long barNumber = range.startBar;
    bool opening = range.opening;
    const char* previousValue = nullptr;
    for (XPxmlNode* e = range.start; e; e = e->nextElementSibling()) {
        const EventFacts facts = readEventFacts(e);
        if (facts.kind == EventKind::Bar) {
            if (!startsWithLetter(facts.timing, MusicValue::InheritedTiming))
                drawTimeSignature(canvas, e);
            drawBar(canvas, e, barNumber, opening, e == first, e == last);
            opening = false;
            ++barNumber;
            previousValue = nullptr;
        } else {
            drawSounding(canvas, facts, previousValue, style);
            previousValue = facts.value;
        }
        const char* text = e->getAttribute(MusicAttr::Text);
        if (canvas.options.lyrics && text)
            drawLyric(canvas, e, text);
        if (const char* tempo = e->getAttribute(MusicAttr::Tempo))
            drawTempo(canvas, e, tempo);
        if (e == range.end)
            break;
    }
}
