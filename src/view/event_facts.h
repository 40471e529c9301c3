#pragma once

#include "view/table_memory.h"
#include "xml/xpxml_node.h"

#include <cstdint>
#include <vector>

class LyricWidths;

enum class EventKind : uint8_t {
    Bar,
    Note,  // any element that is not a "Bar": notes and rests
    Other, // not an element (text, comments): carried along, never laid out
};

// What layout needs of one child of the note list, read in one pass over its
// attributes. The texts point into the element's attribute values and stay
// valid until that attribute changes; only layout changes them, on the
// user-interface thread, and it refreshes the pointer when it does.
struct EventFacts {
    XPxmlNode* node = nullptr;
    const char* value = nullptr;  // "Value"
    const char* timing = nullptr; // "Timing"
    int64_t position = 0;         // results of placement
    int64_t writtenPosition = 0;  // "~Pos" as last written, when hasPosition
    int32_t writtenHeight = 0;
    int32_t height = 0;
    int32_t lyricWidth = 0;       // of "Text", when read with a measure
    int32_t valueNumber = 0;      // leading integer of "Value"
    int32_t beats = 4;            // time signature of a bar's "Timing"
    int32_t unit = 4;
    EventKind kind = EventKind::Other;
    uint8_t dots = 0;             // full stops of "Value": 0, 1 or 2 (right after the first)
    char beam = 0;                // first character of "Beam" in upper case; 0 when absent or empty
    char tuplet = 0;              // the same for "Tuplet"
    bool hasTines = false;        // "Tines" is present and not empty
    bool automatic = false;       // a bar whose "Type" is "Auto"
    bool modifier = false;        // a bar with a "Modifier"
    bool bothRepeat = false;      // … whose value is "BothRepeat"
    bool hasPosition = false;     // "~Pos" holds what placement writes
    bool hasError = false;        // "~Error" is present …
    bool errorMarked = false;     // … and is "Y"

    bool isElement() const { return kind != EventKind::Other; }
    // Sets timing and the time signature read from it.
    void setTiming(const char* text);
};

using EventTable = std::vector<EventFacts, TableAllocator<EventFacts>>;

// The facts of one child of the note list, with its lyric measured by
// lyrics when given (while the element is at hand in memory). facts must be
// default-constructed.
void readEventFacts(XPxmlNode* child, EventFacts& facts, LyricWidths* lyrics = nullptr);
EventFacts readEventFacts(XPxmlNode* child, LyricWidths* lyrics = nullptr);

// Replaces events with every child of noteList in order (keeping its
// storage), leaving the list's cursor alone; empty for a null list.
// visit(facts) sees each as it is read.
template <typename Visit>
void collectEvents(XPxmlNode* noteList, EventTable& events, LyricWidths* lyrics, Visit visit);
void collectEvents(XPxmlNode* noteList, EventTable& events, LyricWidths* lyrics = nullptr);

// Index of the first and last element in events, or -1.
long firstElementIndex(const EventTable& events);
long lastElementIndex(const EventTable& events);

template <typename Visit>
void collectEvents(XPxmlNode* noteList, EventTable& events, LyricWidths* lyrics, Visit visit)
{
    events.clear();
    if (!noteList)
        return;
    events.reserve(noteList->childCount());
    // The children a run at a time: one look at the list for each run.
    constexpr uint32_t kRun = 64;
    XPxmlNode* run[kRun];
    for (uint32_t from = 0;;) {
        const uint32_t taken = noteList->childrenAt(from, run, kRun);
        for (uint32_t i = 0; i < taken; ++i) {
            readEventFacts(run[i], events.emplace_back(), lyrics); // in place: the table is large
            visit(events.back());
        }
        if (taken < kRun)
            break;
        from += taken;
    }
}
