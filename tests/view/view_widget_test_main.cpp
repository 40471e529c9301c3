#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Before the application exists: test discovery runs this without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
