#pragma once

#include "view/display_options.h"
#include "view/event_facts.h"

// Sets the height of every element's band: a note head, taller by the dots
// of its "Value"; a bar, half as tall when it opens the music and taller for
// a repeat mark.
void MeasureEvents(EventTable& events, const LayoutMetrics& metrics);

// Sets the position of every element from the heights, in the spacing mode of
// options, and writes both into the element as "~Pos" (only when they
// changed). Tablature runs upward: each element lies above the one before.
void PlaceEvents(EventTable& events, const DisplayOptions& options);

// The gap after a note whose "Value" is value: spacing, or with variable
// notes spacing ÷ the value (at most a whole note's gap, at least an
// eighth's). A value below 1 or missing counts as a quarter.
int64_t noteGap(const char* value, int spacing, bool variable);
