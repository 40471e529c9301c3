#pragma once

class FrameCanvas;
struct CursorMarks;

// The green highlight over the cursor's element or the selection, and the
// cursor's cell on its tine. Over a selection the cursor's row has an amber
// band of its own while playing, and after a Stop that left it there.
void drawCursor(FrameCanvas& canvas, const CursorMarks& cursor);
