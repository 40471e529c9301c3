#include "app/command_icons.h"
#include "app/display_version.h"
#include "app/message_box_sink.h"
#include "app/single_instance.h"
#include "app/thumbnail_command.h"
#include "app/ui_latency_probe.h"
#include "app/zolva_app.h"
#include "app/url_opener.h"
#include "play/system_midi_devices.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication::setOrganizationName(QStringLiteral("Zolva"));
    QApplication::setApplicationName(QStringLiteral("Zolva Reader"));
    QApplication::setDesktopFileName(QStringLiteral("zolva-reader"));

    // Help and the version print before any window system is asked for, so
    // they work without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine line = parseCommandLine(arguments);
    if (line.help || line.version) {
        std::fputs(qPrintable(line.help ? line.helpText
                                        : QApplication::applicationName() + QLatin1Char(' ')
                                              + QString::fromStdString(programDisplayVersion().version)),
                   stdout);
        std::fputs("\n", stdout);
        return 0;
    }
    // A file manager's request for a picture: no display, and no window.
    if (line.thumbnail)
        return runThumbnailCommand(argc, argv, line.files);

    QApplication app(argc, argv);
    // Qt has taken its own options (-platform …) out of the arguments now.
    const CommandLine command = parseCommandLine(QApplication::arguments());
    // A program already running on this display takes the files instead.
    SingleInstance instance;
    if (!command.newInstance) {
        const QString name = SingleInstance::socketName();
        if (SingleInstance::handOver(name, absolutePaths(command.files)))
            return 0;
        instance.listen(name);
    }
    QApplication::setWindowIcon(programIcon());
    const std::unique_ptr<UiLatencyProbe> probe = UiLatencyProbe::fromEnvironment();

    MessageBoxSink messages;
    SystemMidiDevices devices;
    CZolvaApp zolva(messages, devices, desktopUrlOpener());
    if (!zolva.StartUp(command.files))
        return 1;
    instance.deliverTo([&zolva](const QStringList& files) { zolva.OpenHandedFiles(files); });
    return zolva.ShutDown(QApplication::exec());
}
