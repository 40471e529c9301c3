#pragma once

#include "view/note_heads.h"

struct EventFacts;
class FrameCanvas;
class XPxmlNode;

// The note of facts: its heads, stems, dots, flags or beam segments; a note
// without a value or tines is a faint band across the lanes instead.
// previousValue is the "Value" of the element drawn before it, null when that
// was a bar or nothing.
void drawNote(FrameCanvas& canvas, const EventFacts& facts, const char* previousValue, NoteStyle style);
