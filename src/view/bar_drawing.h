#pragma once

class FrameCanvas;
class XPxmlNode;

// The time signature of bar from its "Timing" ("M3/4" shows "3/4").
void drawTimeSignature(FrameCanvas& canvas, const XPxmlNode* bar);

// Bar is the bar numbered number; opening says it opens what is drawn, and
// last that it ends the piece. Its line, repeat marks, number, final double
// bar, the error band of the measure it closes, and while the repeat it
// closes plays, a badge with the pass.
void drawBar(FrameCanvas& canvas, const XPxmlNode* bar, long number, bool opening, bool first, bool last);
