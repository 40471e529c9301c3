#pragma once

class FrameCanvas;
class XPxmlNode;

// The marks an element may carry beside its note or rest.
// A fermata in the left gutter, beside the middle of the band.
void drawFermata(FrameCanvas& canvas, const XPxmlNode* element);
// The "3" bracket from element up to the element that ends its tuplet; none
// without one.
void drawTupletBracket(FrameCanvas& canvas, const XPxmlNode* element);
// A bow right of the highest tine of note joining it to the next note.
void drawTie(FrameCanvas& canvas, const XPxmlNode* note);
// "T=" and the tempo, left of everything, between element and the next.
void drawTempo(FrameCanvas& canvas, const XPxmlNode* element, const char* tempo);
// The lyric text right of the lanes.
void drawLyric(FrameCanvas& canvas, const XPxmlNode* element, const char* text);
