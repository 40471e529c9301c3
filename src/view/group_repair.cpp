#include "view/group_repair.h"

#include "doc/music_vocabulary.h"
#include "xml/xpxml_node.h"

namespace {

constexpr char kFirst = MusicValue::GroupFirst[0];
constexpr char kInner = MusicValue::GroupInner[0];
constexpr char kLast = MusicValue::GroupLast[0];

// Whether mark may stand after prev (reading forward).
bool fitsAfter(char mark, char prev)
{
    if (mark == kFirst)
        return prev == 0 || prev == kLast;
    if (mark == kLast || mark == kInner)
        return prev == kFirst || prev == kInner;
    return true;
}

// Whether mark may stand before next (reading backward).
bool fitsBefore(char mark, char next)
{
    if (mark == kFirst || mark == kInner)
        return next == kLast || next == kInner;
    if (mark == kLast)
        return next == 0 || next == kFirst;
    return true;
}

void removeMark(EventFacts& event, char EventFacts::*mark, const char* attribute)
{
    event.*mark = 0;
    event.node->removeAttribute(attribute);
}

// The two kinds of group, each with its own neighbouring mark. They never
// affect each other, so one walk serves both.
struct Group {
    char EventFacts::*mark;
    const char* attribute;
    char neighbour = 0;
};

} // namespace

void RepairGroups(EventTable& events)
{
    Group groups[] = {{&EventFacts::beam, MusicAttr::Beam}, {&EventFacts::tuplet, MusicAttr::Tuplet}};
    bool anyMark = false;
    // Forward: a mark must fit the one before it; a note without tines has none.
    for (EventFacts& event : events) {
        for (Group& g : groups) {
            if (event.kind == EventKind::Bar) {
                g.neighbour = 0;
            } else if (event.kind == EventKind::Note) {
                const char m = event.*g.mark;
                if (m && (!event.hasTines || !fitsAfter(m, g.neighbour)))
                    removeMark(event, g.mark, g.attribute);
                g.neighbour = event.*g.mark;
                anyMark = anyMark || g.neighbour;
            }
        }
    }
    if (!anyMark)
        return;
    // Backward: a mark must fit the one after it.
    for (Group& g : groups)
        g.neighbour = 0;
    for (size_t i = events.size(); i-- > 0;) {
        EventFacts& event = events[i];
        for (Group& g : groups) {
            if (event.kind == EventKind::Bar) {
                g.neighbour = 0;
            } else if (event.kind == EventKind::Note) {
                const char m = event.*g.mark;
                if (m && !fitsBefore(m, g.neighbour))
                    removeMark(event, g.mark, g.attribute);
                g.neighbour = event.*g.mark;
            }
        }
    }
}
