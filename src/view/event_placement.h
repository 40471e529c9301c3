#pragma once

#include "view/display_options.h"
#include "view/event_facts.h"
#include "doc/measure_beats.h"

#include <cstdint>

// Sets the height of every element's band: a note head, taller by the dots
// of its "Value"; a bar, half as tall when it opens the music and taller for
// a repeat mark.
void MeasureEvents(EventTable& events, const LayoutMetrics& metrics);

// Sets the position of every element from the heights, in the spacing mode of
// options, and writes both into the element as "~Pos" (only when they
// changed). Tablature runs upward: each element lies above the one before.
void PlaceEvents(EventTable& events, const DisplayOptions& options);

// The two, one element at a time, in list order: a view lays out its music
// in one walk over it. Anything but an element is passed over.
class EventMeasure {
public:
    explicit EventMeasure(const LayoutMetrics& metrics) : m_metrics(metrics) {}
    void measure(EventFacts& event);

private:
    const LayoutMetrics& m_metrics;
    bool m_opening = true; // the first element opens the music
};

// How far bands reach, in positions: the highest top and the lowest bottom.
// Out of order they need not be the last element's top and the first one's
// bottom. Both 0 before any band.
struct BandReach {
    int64_t top = 0;
    int64_t bottom = 0;
};

class EventPlacer {
public:
    explicit EventPlacer(const DisplayOptions& options);
    void place(EventFacts& event);
    // Whether each band so far starts and ends at or above the one before:
    // only then may a search halve the list by position.
    bool inOrder() const { return m_inOrder; }
    // The reach of the bands placed so far.
    const BandReach& reach() const { return m_reach; }

private:
    const LayoutMetrics& m_metrics;
    const bool m_fixedMeasures;
    const bool m_variableNotes;
    const EventFacts* m_prev = nullptr;
    const EventFacts* m_bar = nullptr; // the current bar
    TimeSignature m_signature;         // … and its time signature
    double m_beat = 0.0;               // beats into the current measure
    bool m_inOrder = true;
    BandReach m_reach;
};

// The gap after a note whose "Value" is value: spacing, or with variable
// notes spacing ÷ the value (at most a whole note's gap, at least an
// eighth's). A value below 1 or missing counts as a quarter.
int64_t noteGap(const char* value, int spacing, bool variable);
