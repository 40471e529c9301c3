#include "view/event_facts.h"

#include "doc/music_vocabulary.h"
#include "view/lyric_width.h"
#include "view/measure_beats.h"
#include "view/position_text.h"
#include "xml/xpxml_node.h"

#include <climits>

namespace {

constexpr char upper(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

// xpxmlNameEquals, inline and quickest when the case already agrees: this
// runs for every attribute of every element.
bool sameName(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        if (*a != *b && upper(*a) != upper(*b))
            return false;
        if (!*a)
            return true;
    }
}

enum class Attribute { None, Value, Timing, Tuplet, Tines, Type, Text, Beam, Modifier, Pos, Error };

struct Candidate {
    Attribute attribute;
    const char* name;
};

// The attribute names layout reads, told apart by their first letters so
// that each attribute costs one full comparison.
Candidate candidateFor(const char* name)
{
    switch (upper(name[0])) {
    case 'V': return {Attribute::Value, MusicAttr::Value};
    case 'B': return {Attribute::Beam, MusicAttr::Beam};
    case 'M': return {Attribute::Modifier, MusicAttr::Modifier};
    case '~':
        if (upper(name[1]) == 'P')
            return {Attribute::Pos, MusicAttr::Pos};
        return {Attribute::Error, MusicAttr::Error};
    case 'T':
        switch (upper(name[1])) {
        case 'I':
            if (upper(name[2]) == 'M')
                return {Attribute::Timing, MusicAttr::Timing};
            return {Attribute::Tines, MusicAttr::Tines};
        case 'U': return {Attribute::Tuplet, MusicAttr::Tuplet};
        case 'Y': return {Attribute::Type, MusicAttr::Type};
        case 'E': return {Attribute::Text, MusicAttr::Text};
        default: return {Attribute::None, nullptr};
        }
    default: return {Attribute::None, nullptr};
    }
}

struct Gathering {
    EventFacts* facts;
    const char* text; // "Text": measured, not kept
};

// One visit per attribute, under the element's attribute lock.
bool gatherAttribute(const char* name, const char* value, const XPxmlNode*, void* context)
{
    auto* gathering = static_cast<Gathering*>(context);
    EventFacts* facts = gathering->facts;
    const Candidate candidate = candidateFor(name);
    if (candidate.attribute == Attribute::None || !sameName(name, candidate.name))
        return false;
    switch (candidate.attribute) {
    case Attribute::Value: facts->value = value; break;
    case Attribute::Timing: facts->timing = value; break;
    case Attribute::Tuplet: facts->tuplet = upper(value[0]); break;
    case Attribute::Tines: facts->hasTines = value[0] != '\0'; break;
    case Attribute::Type: facts->automatic = sameName(value, MusicValue::Auto); break;
    case Attribute::Text: gathering->text = value; break;
    case Attribute::Beam: facts->beam = upper(value[0]); break;
    case Attribute::Modifier:
        facts->modifier = true;
        facts->bothRepeat = sameName(value, MusicValue::BothRepeat);
        break;
    case Attribute::Pos: {
        int64_t height = 0;
        facts->hasPosition = parseWrittenPosition(value, facts->writtenPosition, height) && height >= 0 &&
                             height <= INT32_MAX;
        facts->writtenHeight = int32_t(height);
        break;
    }
    case Attribute::Error:
        facts->hasError = true;
        facts->errorMarked = value[0] == MusicValue::Yes && value[1] == '\0';
        break;
    case Attribute::None: break;
    }
    return false; // every attribute
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
    Gathering gathering{&facts, nullptr};
    child->visitAttributes(&gatherAttribute, &gathering);
    if (facts.kind == EventKind::Bar) {
        facts.beam = facts.tuplet = 0; // groups are made of notes only
        facts.setTiming(facts.timing);
    } else {
        facts.automatic = facts.modifier = facts.bothRepeat = false;
        readValue(facts);
    }
    if (lyrics && gathering.text)
        facts.lyricWidth = lyrics->widthOf(gathering.text);
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
