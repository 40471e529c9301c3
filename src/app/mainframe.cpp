#include "app/mainframe.h"

#include "app/about_dlg.h"
#include "app/author_info_dlg.h"
#include "app/license_text_dlg.h"
#include "app/online_documentation.h"
#include "play/midi_config_dlg.h"

#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>

CMainFrame::CMainFrame(QWidget* parent)
    : QMainWindow(parent), m_mdiArea(new QMdiArea(this))
{
    setWindowTitle(QStringLiteral("Zolva Reader"));
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);
    resize(900, 700);
}

QAction* CMainFrame::addCommand(QMenu* menu, int id, const QString& text, const QString& prompt, const QString& tip)
{
    QAction* action = menu->addAction(text);
    action->setStatusTip(prompt);
    action->setToolTip(tip);
    action->setData(id);
    return action;
}

QAction* CMainFrame::commandAction(int id) const
{
    for (QAction* action : findChildren<QAction*>()) {
        if (action->data() == id)
            return action;
    }
    return nullptr;
}

void CMainFrame::addMidiSetup(MidiSession& midi)
{
    const QString name = QStringLiteral("MIDI Setup");
    QAction* setup = addCommand(menuBar()->addMenu(QStringLiteral("&Options")), kMidiSetupCommand,
                                QStringLiteral("MIDI Setup..."), name, name);
    connect(setup, &QAction::triggered, this, [this, &midi] { OnMidiSetup(midi, this); });
}

void CMainFrame::addInformationCommands(MessageSink& messages, UrlOpener opener)
{
    // Edit comes first in the menu bar, whatever was added before it.
    auto* edit = new QMenu(QStringLiteral("&Edit"), this);
    const QList<QAction*> menus = menuBar()->actions();
    menuBar()->insertMenu(menus.isEmpty() ? nullptr : menus.first(), edit);
    const QString authorInfo = QStringLiteral("Author Info");
    QAction* author = addCommand(edit, kAuthorInfoCommand, QStringLiteral("Author &Info"), authorInfo, authorInfo);
    connect(author, &QAction::triggered, this, [this] {
        if (m_activeDocument)
            OnAuthorInfo(*m_activeDocument, this);
    });
    setActiveDocument(m_activeDocument);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    QAction* about = addCommand(help, kAboutCommand, QStringLiteral("&About Zolva Reader..."),
                                QStringLiteral("Display program information, version number and copyright"),
                                QStringLiteral("About"));
    connect(about, &QAction::triggered, this, [this, opener] { OnAppAbout(opener, this); });
    QAction* manual = addCommand(help, kOnlineDocumentationCommand, QStringLiteral("Online Documentation"),
                                 QStringLiteral("Open the user manual"), QStringLiteral("Online Documentation"));
    connect(manual, &QAction::triggered, this, [opener] { OnOnlineDocumentation(opener); });
    QAction* license = addCommand(help, kLicenseCommand, QStringLiteral("&License"),
                                  QStringLiteral("Show the license of the program"), QStringLiteral("License"));
    connect(license, &QAction::triggered, this, [this, &messages] { OnLicense(messages, this); });
}

void CMainFrame::setActiveDocument(CZolvaDoc* doc)
{
    m_activeDocument = doc;
    if (QAction* author = commandAction(kAuthorInfoCommand))
        author->setEnabled(doc != nullptr);
}
