#include "view/event_facts.h"

#include "doc/music_vocabulary.h"
#include "view/lyric_width.h"
#include "doc/measure_beats.h"
#include "view/position_text.h"
#include "xml/xpxml_name_set.h"
#include "xml/xpxml_node.h"

#include <climits>

namespace {

constexpr char upper(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

// xpxmlNameEquals, inline and quickest when the case already agrees: this
// runs for every element.
bool sameName(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        if (*a != *b && upper(*a) != upper(*b))
            return false;
        if (!*a)
            return true;
    }
}

// The attributes layout reads, all found in one look at each element.
enum Read { Value, Timing, Tuplet, Tines, Type, Text, Beam, Modifier, Pos, Error, ReadCount };

const XPxmlNameSet& layoutNames()
{
    static const XPxmlNameSet names{MusicAttr::Value, MusicAttr::Timing, MusicAttr::Tuplet, MusicAttr::Tines,
                                    MusicAttr::Type,  MusicAttr::Text,   MusicAttr::Beam,   MusicAttr::Modifier,
                                    MusicAttr::Pos,   MusicAttr::Error};
    return names;
}

// Returns the "Text" to measure.
const char* takeAttributes(const char* const (&read)[ReadCount], EventFacts& facts)
{
    facts.value = read[Value];
    facts.timing = read[Timing];
    if (read[Tuplet])
        facts.tuplet = upper(read[Tuplet][0]);
    if (read[Tines])
        facts.hasTines = read[Tines][0] != '\0';
    if (read[Type])
        facts.automatic = sameName(read[Type], MusicValue::Auto);
    if (read[Beam])
        facts.beam = upper(read[Beam][0]);
    if (read[Modifier]) {
        facts.modifier = true;
        facts.bothRepeat = sameName(read[Modifier], MusicValue::BothRepeat);
    }
    if (read[Pos]) {
        int64_t height = 0;
        facts.hasPosition = parseWrittenPosition(read[Pos], facts.writtenPosition, height) && height >= 0 &&
                            height <= INT32_MAX;
        facts.writtenHeight = int32_t(height);
    }
    if (read[Error]) {
        facts.hasError = true;
        facts.errorMarked = read[Error][0] == MusicValue::Yes && read[Error][1] == '\0';
    }
    return read[Text];
}

// The leading integer of a "Value" and its dots, in one look at the text
// ("4", "8.", "2.." …); unusual texts go the long way.
void readValue(EventFacts& facts)
{
    const char* p = facts.value;
    if (!p)
        return;
    int32_t number = 0;
    int digits = 0;
    for (; *p >= '0' && *p <= '9' && digits < 9; ++p, ++digits)
        number = number * 10 + (*p - '0');
    if (digits == 0 || digits == 9) {
        facts.valueNumber = int32_t(xpxmlLeadingInteger(facts.value));
        facts.dots = uint8_t(valueDots(facts.value));
        return;
    }
    facts.valueNumber = number;
    while (*p && *p != '.')
        ++p;
    if (*p == '.')
        facts.dots = p[1] == '.' ? 2 : 1;
}

} // namespace

void EventFacts::setTiming(const char* text)
{
    timing = text;
    const TimeSignature signature = readTimeSignature(text);
    beats = int32_t(signature.beats);
    unit = int32_t(signature.unit);
}

EventFacts readEventFacts(XPxmlNode* child, LyricWidths* lyrics)
{
    EventFacts facts;
    readEventFacts(child, facts, lyrics);
    return facts;
}

void readEventFacts(XPxmlNode* child, EventFacts& facts, LyricWidths* lyrics)
{
    facts.node = child;
    if (!child || child->kind() != XPxmlKind::Element)
        return;
    facts.kind = sameName(child->name(), MusicElement::Bar) ? EventKind::Bar : EventKind::Note;
    const char* read[ReadCount];
    child->readAttributes(layoutNames(), read);
    const char* text = takeAttributes(read, facts);
    if (facts.kind == EventKind::Bar) {
        facts.beam = facts.tuplet = 0; // groups are made of notes only
        facts.setTiming(facts.timing);
    } else {
        facts.automatic = facts.modifier = facts.bothRepeat = false;
        readValue(facts);
    }
    if (lyrics && text)
        facts.lyricWidth = lyrics->widthOf(text);
}

void collectEvents(XPxmlNode* noteList, EventTable& events, LyricWidths* lyrics)
{
    collectEvents(noteList, events, lyrics, [](EventFacts&) {});
}

long firstElementIndex(const EventTable& events)
{
    for (size_t i = 0; i < events.size(); ++i)
        if (events[i].isElement())
            return long(i);
    return -1;
}

long lastElementIndex(const EventTable& events)
{
    for (size_t i = events.size(); i-- > 0;)
        if (events[i].isElement())
            return long(i);
    return -1;
}
