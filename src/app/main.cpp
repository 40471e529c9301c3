#include "app/mainframe.h"
#include "app/url_opener.h"
#include "doc/message_sink.h"
#include "play/midi_session.h"
#include "play/system_midi_devices.h"

#include <QApplication>
#include <QMessageBox>

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

    MessageBoxSink messages;
    SystemMidiDevices devices;
    MidiSession midi(messages, devices);
    midi.OpenMidiOutput();
    midi.readMute();

    CMainFrame frame;
    frame.addMidiSetup(midi);
    frame.addInformationCommands(messages, desktopUrlOpener());
    frame.show();
    const int exitCode = QApplication::exec();
    midi.CloseMidiOutput();
    return exitCode;
}
