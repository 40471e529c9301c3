#include "app/mainframe.h"
#include "app/url_opener.h"
#include "doc/message_sink.h"
#include "doc/zolva_doc.h"
#include "play/midi_session.h"
#include "play/system_midi_devices.h"
#include "view/zolva_view.h"

#include <QApplication>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>

#include <memory>

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

    std::unique_ptr<CZolvaDoc> document; // outlives the frame and the view in it
    CMainFrame frame;
    frame.addMidiSetup(midi);
    frame.addInformationCommands(messages, desktopUrlOpener());
    frame.show();
    // Until the shell opens documents itself: the file named on the command
    // line, in one view.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        document = std::make_unique<CZolvaDoc>(messages);
        if (document->openDocument(arguments.at(1))) {
            auto* view = new CZolvaView(*document);
            QMdiSubWindow* window = frame.mdiArea()->addSubWindow(view);
            window->setWindowTitle(QFileInfo(arguments.at(1)).fileName());
            window->resize(frame.mdiArea()->size());
            window->show();
            view->OnInitialUpdate();
            frame.setActiveDocument(document.get());
        }
    }
    const int exitCode = QApplication::exec();
    midi.CloseMidiOutput();
    return exitCode;
}
