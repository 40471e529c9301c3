#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// FluidSynth loads SoundFont samples with OpenMP; ThreadSanitizer cannot see
// the uninstrumented runtime's own synchronisation and reports races inside it.
extern "C" const char* __tsan_default_suppressions()
{
    // Qt's own thread pool (fonts, images) synchronises inside libraries
    // built without ThreadSanitizer, which then sees races that are not there.
    return "race:libgomp.so.1\n"
           "race:libQt6Core.so.6\n"
           "race:libQt6Gui.so.6\n";
}

int main(int argc, char** argv)
{
    // Before the application exists: test discovery runs this without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The settings go to a folder of their own, never to the user's.
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
