#pragma once

class FrameCanvas;
struct CursorMarks;

// The green highlight over the cursor's element or the selection, and the
// cursor's cell on its tine.
void drawCursor(FrameCanvas& canvas, const CursorMarks& cursor);
