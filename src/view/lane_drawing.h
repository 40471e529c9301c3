#pragma once

#include "view/frame_canvas.h"

#include <string>

class XPxmlNode;

// The tine lanes over the rows of span, shaded where shade has "1" at the
// tine's place.
void drawLanes(FrameCanvas& canvas, FrameCanvas::Band span, const std::string& shade);
// The device rectangle those lanes surely cover with opaque paint (empty when
// gaps or see-through fills leave none).
QRect lanesCover(const FrameCanvas& canvas, FrameCanvas::Band span, const std::string& shade);
// The note names under the band of first.
void drawTineLabels(FrameCanvas& canvas, const XPxmlNode* first);
// The centre line over the rows of span and a little below.
void drawCentreLine(FrameCanvas& canvas, FrameCanvas::Band span);
