#include "app/command_icons.h"
#include "app/display_version.h"
#include "app/message_box_sink.h"
#include "app/zolva_app.h"
#include "app/url_opener.h"
#include "play/system_midi_devices.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Zolva"));
    QApplication::setApplicationName(QStringLiteral("Zolva Reader"));
    QApplication::setDesktopFileName(QStringLiteral("zolva-reader"));
    QApplication::setWindowIcon(programIcon());

    MessageBoxSink messages;
    SystemMidiDevices devices;
    CZolvaApp zolva(messages, devices, desktopUrlOpener());

    const CommandLine line = parseCommandLine(QApplication::arguments());
    if (line.help || line.version) {
        std::fputs(qPrintable(line.help ? line.helpText
                                        : QApplication::applicationName() + QLatin1Char(' ')
                                              + QString::fromStdString(programDisplayVersion().version)),
                   stdout);
        std::fputs("\n", stdout);
        return 0;
    }
    if (!zolva.StartUp(line.file))
        return 1;
    return zolva.ShutDown(QApplication::exec());
}
