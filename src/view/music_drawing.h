#pragma once

#include "view/visible_range.h"

class CZolvaDoc;
class FrameCanvas;

// The bars, notes, rests and their marks, lyrics and tempos of range, in the
// note style of the canvas's options: what a paint draws over the lanes.
void drawMusic(FrameCanvas& canvas, const VisibleRange& range, const CZolvaDoc& doc);
