#pragma once

#include "view/display_options.h"

#include <cstdint>

class ViewLayout;
class XPxmlNode;

// How note tails are drawn: the document's "Tails" (1 Modern, 2 Minimal, 3 tailed).
enum class NoteStyle { Modern = 1, Minimal = 2, Tailed = 3 };

// Where a note's heads are drawn, in one place for the drawing and for
// clicks. A head fills a square of the note size in its lane: its left edge,
// for the lane whose left edge is laneLeft …
int headLeft(int laneLeft, const LayoutMetrics& m);
// … and its top row, in a band from top to bottom: the band's top in the
// modern style, else the note size above its bottom.
int64_t headTop(int64_t top, int64_t bottom, const LayoutMetrics& m, NoteStyle style);

// Whether point x, y (document coordinates) lies in the square of a head
// that note draws on one of tineCount lanes; false for anything but a note
// with a value and tines.
bool onNoteHead(const ViewLayout& layout, XPxmlNode* note, int tineCount, int64_t x, int64_t y);
