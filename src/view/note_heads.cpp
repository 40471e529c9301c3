#include "view/note_heads.h"

#include "doc/music_vocabulary.h"
#include "doc/zolva_doc.h"
#include "view/event_facts.h"
#include "doc/tine_numbers.h"
#include "view/view_layout.h"
#include "xml/xpxml.h"

namespace {

// The values whose heads note_drawing.cpp draws in each style.
bool drawsHead(int value, NoteStyle style)
{
    if (style == NoteStyle::Modern)
        return value == 1 || value == 2 || value == 4 || value == 8 || value == 16 || value == 32 || value == 64;
    return value == 1 || value == 2 || (value >= 4 && value <= 64);
}

} // namespace

int headLeft(int laneLeft, const LayoutMetrics& m)
{
    return laneLeft + (m.tineWidth - m.noteSize) / 2;
}

int64_t headTop(int64_t top, int64_t bottom, const LayoutMetrics& m, NoteStyle style)
{
    return style == NoteStyle::Modern ? top : bottom - m.noteSize;
}

bool onNoteHead(const ViewLayout& layout, XPxmlNode* note, int tineCount, int64_t x, int64_t y)
{
    const CZolvaDoc* doc = layout.document();
    if (!doc || !note || !xpxmlNameEquals(note->name(), MusicElement::Note))
        return false;
    const EventFacts facts = readEventFacts(note);
    const auto style = NoteStyle(doc->tailsStyle());
    if (!facts.value || !*facts.value || !facts.hasTines || !drawsHead(facts.valueNumber, style))
        return false;
    const LayoutMetrics& m = layout.options().metrics;
    const ViewLayout::Band band = layout.EventBand(note, ViewLayout::Coordinates::Document);
    const int64_t top = headTop(band.top, band.top + band.height, m, style);
    if (y < top || y >= top + m.noteSize)
        return false;
    const TineNumbers tines = readTineNumbers(note->getAttribute(MusicAttr::Tines), tineCount);
    for (int k = 0; k < tines.count; ++k) {
        const int left = headLeft(layout.TineX(tines.tines[size_t(k)] - 1), m);
        if (x >= left && x < left + m.noteSize)
            return true;
    }
    return false;
}
