#include "view/frame_canvas.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Before the application exists: test discovery runs this without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // Pixel probes are exact only without anti-aliasing; the tests that look
    // at smoothing switch it on themselves.
    setSmoothDrawing(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
