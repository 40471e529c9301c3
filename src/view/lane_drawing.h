#pragma once

#include <string>

class FrameCanvas;
class XPxmlNode;

// The tine lanes from the band of lower up to the band of upper, shaded
// where shade has "1" at the tine's place.
void drawLanes(FrameCanvas& canvas, const XPxmlNode* lower, const XPxmlNode* upper, const std::string& shade);
// The note names under the band of first.
void drawTineLabels(FrameCanvas& canvas, const XPxmlNode* first);
// The centre line from the band of lower up to the band of upper.
void drawCentreLine(FrameCanvas& canvas, const XPxmlNode* lower, const XPxmlNode* upper);
