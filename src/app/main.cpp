#include "app/command_icons.h"
#include "app/display_version.h"
#include "app/zolva_app.h"
#include "app/url_opener.h"
#include "doc/message_sink.h"
#include "play/system_midi_devices.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace {

// Messages of the code below the windows, as the program's message boxes.
class MessageBoxSink : public MessageSink {
public:
    void showMessage(const std::string& text) override
    {
        QMessageBox::warning(QApplication::activeWindow(), caption(), QString::fromStdString(text));
    }
    bool askYesNo(const std::string& text) override
    {
        QMessageBox box(QMessageBox::Warning, caption(), QString::fromStdString(text),
                        QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
        return box.exec() == QMessageBox::Yes;
    }

private:
    static QString caption() { return QStringLiteral("Zolva Reader"); }
};

} // namespace

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
