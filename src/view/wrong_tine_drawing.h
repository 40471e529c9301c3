#pragma once

#include <vector>

class FrameCanvas;

// Tines just heard that the cursor's row does not hold (numbered from 1):
// each one's lane tinted red wherever it shows in a frame frameHeight rows
// high, so that a player looking anywhere on the page sees which tine it was.
void drawWrongTines(FrameCanvas& canvas, const std::vector<int>& tines, int frameHeight);
