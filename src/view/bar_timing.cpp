#include "view/bar_timing.h"

#include "doc/music_vocabulary.h"
#include "view/group_repair.h"
#include "doc/measure_beats.h"
#include "view/note_list_rewrite.h"
#include "view/view_cursor.h"
#include "xml/xpxml_node.h"

#include <cstring>
#include <string>

namespace {

constexpr char kErrorMark[] = {MusicValue::Yes, '\0'};

bool setsTiming(const char* timing)
{
    return timing && *timing && !timingLetterIs(timing, MusicValue::InheritedTiming);
}

XPxmlNode* lastElementOf(const EventTable& events)
{
    const long i = lastElementIndex(events);
    return i < 0 ? nullptr : events[size_t(i)].node;
}

XPxmlNode* nextElementAfter(const EventTable& events, size_t i)
{
    for (++i; i < events.size(); ++i)
        if (events[i].isElement())
            return events[i].node;
    return nullptr;
}

void markError(EventFacts& bar, bool error)
{
    if (error && !bar.errorMarked)
        bar.node->setAttribute(MusicAttr::Error, kErrorMark);
    else if (!error && bar.hasError)
        bar.node->removeAttribute(MusicAttr::Error);
    bar.hasError = bar.errorMarked = error;
}

TimeSignature signatureOf(const EventFacts& event)
{
    return {event.beats, event.unit};
}

// The time signature that governs automatic bars, as the bars go by in order.
class TimingPropagation {
public:
    void pass(EventFacts& event)
    {
        if (event.kind != EventKind::Bar)
            return;
        if (setsTiming(event.timing)) {
            m_governing = automaticTiming(event.timing);
        } else if (!event.timing || std::strcmp(m_governing.c_str(), event.timing) != 0) {
            event.node->setAttribute(MusicAttr::Timing, m_governing.c_str());
            event.setTiming(event.node->getAttribute(MusicAttr::Timing));
        }
    }

private:
    std::string m_governing = MusicValue::CommonTime;
};

// One run of CheckBarTiming: the list as read and, once anything changes,
// the list as it becomes; and the measure being filled.
class BarTimingCheck {
public:
    BarTimingCheck(XPxmlNode* list, ViewCursor& cursor, EventTable& events, LyricWidths* lyrics)
        : m_list(list), m_cursor(cursor), m_events(events), m_lyrics(lyrics)
    {
    }

    // Leaves the list as it has become in events.
    void run(XPxmlNode* start)
    {
        // Timings propagate as the bars are read, while they are at hand.
        TimingPropagation timings;
        collectEvents(m_list, m_events, m_lyrics, [this, &timings](EventFacts& event) {
            timings.pass(event);
            m_groupMarks = m_groupMarks || event.beam || event.tuplet;
        });
        const long last = lastElementIndex(m_events);
        if (last < 0)
            return;
        const size_t current = measureStart(start);
        startMeasure(m_events[current]);
        fillMeasures(current + 1, size_t(last));
        closeMusic();
        mergeOpeningBar();
        if (m_groupMarks) // bars come and go without marks: without any, nothing to repair
            RepairGroups(result());
        m_rewrite.apply(m_list, result());
        if (m_changed)
            m_events.swap(m_result);
    }

private:
    EventTable& result() { return m_changed ? m_result : m_events; }

    void startMeasure(const EventFacts& bar)
    {
        m_signature = signatureOf(bar);
        m_measureTiming = bar.timing; // its text is read only if a bar is inserted
        m_accumulated = 0.0;
    }

    // Most runs change nothing: the result is copied from the list as read
    // only when the first change comes, at index from.
    void beginChanges(size_t from)
    {
        if (m_changed)
            return;
        m_result.reserve(m_events.size() + m_events.size() / 4 + 2);
        m_result.assign(m_events.begin(), m_events.begin() + long(from));
        m_changed = true;
    }

    // The bar whose measure holds start: the closest bar before a bar, at or
    // before anything else; the first element when there is none.
    size_t measureStart(XPxmlNode* start) const
    {
        const long first = firstElementIndex(m_events);
        long at = first;
        for (size_t i = 0; start && i < m_events.size(); ++i)
            if (m_events[i].node == start && m_events[i].isElement()) {
                at = long(i);
                break;
            }
        const bool fromBar = m_events[size_t(at)].kind == EventKind::Bar;
        for (long i = fromBar ? at - 1 : at; i >= 0; --i)
            if (m_events[size_t(i)].kind == EventKind::Bar)
                return size_t(i);
        return size_t(first);
    }

    void fillMeasures(size_t from, size_t last)
    {
        for (size_t i = from; i < m_events.size(); ++i) {
            EventFacts& p = m_events[i];
            if (p.kind == EventKind::Note)
                addNote(i);
            else if (p.kind == EventKind::Bar && i == last)
                markError(p, false);
            else if (p.kind == EventKind::Bar && !checkBar(i))
                continue; // removed
            if (m_changed)
                m_result.push_back(p);
        }
    }

    void addNote(size_t i)
    {
        const EventFacts& note = m_events[i];
        if (reachesMeasureEnd()) {
            beginChanges(i);
            m_result.push_back(newAutoBar(note.node, !fillsMeasure(m_accumulated, m_signature.beats)));
            m_accumulated = 0.0;
        }
        m_accumulated += MeasureBeats(m_signature.unit, note.valueNumber, note.dots, note.tuplet != 0);
    }

    bool reachesMeasureEnd() const { return m_accumulated + kBeatSlack >= double(m_signature.beats); }

    // False when the bar comes too early and goes: the notes after it belong
    // to the measure it cuts. The same slack as in addNote: triplet beats do
    // not add up exactly, and an exactly full measure must count as full.
    bool checkBar(size_t i)
    {
        EventFacts& bar = m_events[i];
        if (bar.automatic && !reachesMeasureEnd()) {
            beginChanges(i);
            removeElement(bar.node, lastElementOf(m_result), nextElementAfter(m_events, i));
            return false;
        }
        markError(bar, bar.automatic && !fillsMeasure(m_accumulated, m_signature.beats));
        startMeasure(bar);
        return true;
    }

    void closeMusic()
    {
        const long last = lastElementIndex(result());
        if (last < 0 || result()[size_t(last)].kind == EventKind::Bar)
            return;
        beginChanges(m_events.size());
        m_result.push_back(newAutoBar(nullptr, false));
    }

    // A bar right after the opening bar gives it its time signature, tempo and
    // repeat mark and goes, unless the two disagree.
    void mergeOpeningBar()
    {
        EventTable& events = result();
        const long first = firstElementIndex(events);
        if (first < 0)
            return;
        size_t next = size_t(first) + 1;
        while (next < events.size() && !events[next].isElement())
            ++next;
        if (next >= events.size() || long(next) == lastElementIndex(events))
            return;
        const EventFacts& h = events[size_t(first)];
        const EventFacts& l = events[next];
        if (h.kind != EventKind::Bar || l.kind != EventKind::Bar)
            return;
        if (timingLetterIs(h.timing, MusicValue::SetTiming) && timingLetterIs(l.timing, MusicValue::SetTiming))
            return;
        if (disagree(h.node, l.node, MusicAttr::Tempo) || disagree(h.node, l.node, MusicAttr::Modifier))
            return;

        bool copied = false;
        if (timingLetterIs(l.timing, MusicValue::SetTiming))
            copied |= copyAttribute(l.node, h.node, MusicAttr::Timing);
        copied |= copyAttribute(l.node, h.node, MusicAttr::Tempo);
        if (copyAttribute(l.node, h.node, MusicAttr::Modifier)) {
            copyAttribute(l.node, h.node, MusicAttr::RepeatCount);
            copied = true;
        }
        if (copied && h.automatic)
            h.node->setAttribute(MusicAttr::Type, MusicValue::AutoManual);
        XPxmlNode* opening = h.node;
        XPxmlNode* merged = l.node;
        removeElement(merged, opening, nextElementAfter(events, next));
        beginChanges(m_events.size());
        m_result[size_t(first)] = readEventFacts(opening, m_lyrics);
        m_result.erase(m_result.begin() + long(next));
    }

    static bool disagree(const XPxmlNode* h, const XPxmlNode* l, const char* name)
    {
        const char* a = h->getAttribute(name);
        const char* b = l->getAttribute(name);
        return a && b && std::strcmp(a, b) != 0;
    }

    static bool copyAttribute(const XPxmlNode* from, XPxmlNode* to, const char* name)
    {
        const char* value = from->getAttribute(name);
        if (value)
            to->setAttribute(name, value);
        return value != nullptr;
    }

    EventFacts newAutoBar(XPxmlNode* before, bool overfull)
    {
        XPxmlNode* bar = XPxmlNode::create(MusicElement::Bar);
        bar->setAttribute(MusicAttr::Type, MusicValue::Auto);
        // The timing propagation would give it, so that the next check leaves it be.
        bar->setAttribute(MusicAttr::Timing, automaticTiming(m_measureTiming).c_str());
        if (overfull)
            bar->setAttribute(MusicAttr::Error, kErrorMark);
        m_rewrite.insert(bar, before);
        return readEventFacts(bar, m_lyrics);
    }

    void removeElement(XPxmlNode* node, XPxmlNode* before, XPxmlNode* after)
    {
        m_cursor.moveOff(node, before, after);
        m_rewrite.remove(node);
    }

    XPxmlNode* m_list;
    ViewCursor& m_cursor;
    EventTable& m_events; // the list as read
    LyricWidths* m_lyrics;
    EventTable m_result;  // the list as it becomes, once m_changed
    bool m_changed = false;
    bool m_groupMarks = false; // any note read with a beam or tuplet mark
    NoteListRewrite m_rewrite;
    TimeSignature m_signature;
    const char* m_measureTiming = nullptr; // "Timing" of the bar that began the measure
    double m_accumulated = 0.0;
};

} // namespace

void PropagateTimings(EventTable& events)
{
    TimingPropagation timings;
    for (EventFacts& event : events)
        timings.pass(event);
}

void CheckBarTiming(XPxmlNode* noteList, XPxmlNode* start, ViewCursor& cursor, EventTable& events,
                    LyricWidths* lyrics)
{
    events.clear();
    if (noteList)
        BarTimingCheck(noteList, cursor, events, lyrics).run(start);
}

void CheckBarTiming(XPxmlNode* noteList, XPxmlNode* start, ViewCursor& cursor)
{
    EventTable events;
    CheckBarTiming(noteList, start, cursor, events);
}
