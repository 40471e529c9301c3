#pragma once

#include "view/event_facts.h"

class LyricWidths;
class XPxmlNode;
struct ViewCursor;

// Gives every automatic bar (its "Timing" starts with "A", or it has none)
// the time signature set at the closest bar before it that sets one ("A4/4"
// before any), and updates the timings in events.
void PropagateTimings(EventTable& events);

// Keeps the bars of noteList consistent with the time signatures, from the
// measure of start on (null: the first element): inserts an automatic bar
// where the notes fill a measure, removes automatic bars that come too early
// (moving cursor off them first), marks the bar ending an overfull measure
// with "~Error", closes the music with a bar, merges a bar right after the
// opening bar into it, then repairs beam and tuplet groups. Nothing happens
// to a null or empty list.
void CheckBarTiming(XPxmlNode* noteList, XPxmlNode* start, ViewCursor& cursor);
// The same, leaving in events the facts of the list as it has become, for
// the layout that follows (its storage is reused), with the lyrics measured
// by lyrics when given.
void CheckBarTiming(XPxmlNode* noteList, XPxmlNode* start, ViewCursor& cursor, EventTable& events,
                    LyricWidths* lyrics = nullptr);
