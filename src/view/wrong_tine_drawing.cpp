#include "view/wrong_tine_drawing.h"

#include "view/frame_canvas.h"

#include <algorithm>

namespace {

// Multiplied in, so that the notes on the lane stay black.
constexpr uint32_t kWrongTint = 0x4040FF;

} // namespace

void drawWrongTines(FrameCanvas& canvas, const std::vector<int>& tines, int frameHeight)
{
    const FrameCanvas::Band lanes = canvas.allBands();
    for (int tine : tines) {
        if (tine < 1 || tine > canvas.n)
            continue;
        const int left = canvas.tineX(tine - 1);
        const int top = std::max(lanes.top, 0);
        const int bottom = std::min(lanes.bottom() + 1 + canvas.vOffset(tine - 1), frameHeight);
        canvas.multiplyBlock(left, top, left + canvas.m.tineWidth, bottom, kWrongTint);
    }
}
