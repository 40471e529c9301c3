#pragma once

struct EventFacts;
class FrameCanvas;

// The rest of facts, drawn twice: left and right of the lanes' middle.
void drawRest(FrameCanvas& canvas, const EventFacts& facts);
