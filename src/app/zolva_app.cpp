#include "app/zolva_app.h"

#include "app/display_version.h"
#include "app/document_registry.h"
#include "app/mainframe.h"
#include "app/child_frame.h"
#include "app/command_table.h"
#include "app/settings_text.h"
#include "app/view_player.h"
#include "play/midi_session.h"
#include "play/play_clock.h"
#include "play/tied_views.h"
#include "view/zolva_view.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

QStringList chooseMusicFiles(QWidget* parent, const QString& folder)
{
    return QFileDialog::getOpenFileNames(parent, QStringLiteral("Open"), folder,
                                         QStringLiteral("Zolva Files (*.zvm)"));
}

} // namespace

QString folderOfPath(const QString& path)
{
    const qsizetype cut = path.lastIndexOf(QRegularExpression(QStringLiteral("[/\\\\:]")));
    return path.left(cut + 1);
}

CommandLine parseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Reads and plays kalimba tablature."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("A music file (.zvm) to open."),
                                 QStringLiteral("[file]"));
    parser.parse(arguments); // unknown switches are no error
    CommandLine line;
    line.help = parser.isSet(help);
    line.version = parser.isSet(version);
    line.helpText = parser.helpText();
    if (!parser.positionalArguments().isEmpty())
        line.file = parser.positionalArguments().first();
    return line;
}

CZolvaApp::CZolvaApp(MessageSink& messages, MidiDevices& devices, UrlOpener opener)
    : m_messages(messages), m_opener(std::move(opener)), m_midi(std::make_unique<MidiSession>(messages, devices)),
      m_tied(std::make_unique<TiedViews>()), m_clock(std::make_unique<SteadyPlayClock>()),
      m_chooseFiles(chooseMusicFiles)
{
}

CZolvaApp::~CZolvaApp()
{
    m_frame.reset(); // the windows go before the MIDI output they may use
}

void CZolvaApp::setProgramFolder(const QString& folder)
{
    m_programFolder = folder;
    m_musicFolder = folder + QStringLiteral("Music/");
    m_templatesFolder = folder + QStringLiteral("Templates/");
    // A folder that cannot be made is no error: File > Open then starts at home.
    QDir().mkpath(m_musicFolder);
    QDir().mkpath(m_templatesFolder);
}

bool CZolvaApp::StartUp(const QString& fileToOpen, int showState)
{
    if (m_programFolder.isEmpty())
        setProgramFolder(folderOfPath(QCoreApplication::applicationFilePath()));
    QCoreApplication::setApplicationVersion(QString::fromStdString(programDisplayVersion().version));
    m_midi->OpenMidiOutput();
    m_midi->readMute();

    m_frame = std::make_unique<CMainFrame>(m_messages);
    m_frame->addMidiSetup(*m_midi);
    m_frame->addInformationCommands(m_messages, m_opener);
    m_frame->onCommand(57601, [this] { OnFileOpen(); });
    addPlayCommands();
    m_frame->setRecentFileOpener([this](const QString& path) { OpenDocumentFile(path); });

    if (!fileToOpen.isEmpty())
        OpenDocumentFile(fileToOpen);
    m_frame->RestoreWindowPlacement(showState);
    return true;
}

int CZolvaApp::ShutDown(int exitCode)
{
    m_midi->CloseMidiOutput();
    return exitCode;
}

int CZolvaApp::playDelay() const
{
    return m_frame ? m_frame->playDelay() : 0;
}

QString CZolvaApp::openFolder() const
{
    const QString last = readSettingText("LastOpenPath");
    if (!last.isEmpty())
        return last;
    if (QFileInfo(m_musicFolder).isDir())
        return m_musicFolder;
    return QDir::homePath();
}

void CZolvaApp::OnFileOpen()
{
    for (const QString& file : m_chooseFiles(m_frame.get(), openFolder())) {
        // Recorded before the open, so a file that fails still sets the folder.
        writeSettingText("LastOpenPath", folderOfPath(QDir::fromNativeSeparators(file)));
        OpenDocumentFile(file);
    }
}

CZolvaDoc* CZolvaApp::OpenDocumentFile(const QString& path)
{
    CZolvaDoc* doc = m_frame->documents().openDocument(path);
    RecentFileList& recent = m_frame->recentFiles();
    if (doc)
        recent.add(path);
    else
        recent.remove(path); // a recent file that no longer opens leaves the list
    recent.save();
    m_frame->updateRecentFiles();
    return doc;
}

void CZolvaApp::addPlayCommands()
{
    m_frame->onCommand(cmd::PlayView, [this] { OnPlayView(); });
    m_frame->onCommand(cmd::StopView, [this] { OnStopView(); });
    m_frame->onCommand(cmd::PlayAll, [this] { OnPlayAll(); });
    m_frame->onCommand(cmd::StopPlaying, [this] { OnStopPlaying(); });
}

ViewPlayer& CZolvaApp::playerOf(CZolvaView& view)
{
    if (ViewPlayer* player = ViewPlayer::of(view))
        return *player;
    return *new ViewPlayer(view, *m_frame, *m_midi, *m_tied, *m_clock);
}

void CZolvaApp::OnPlayView()
{
    CChildFrame* active = m_frame->activeChild();
    if (!active || active->view()->isPlaying())
        return;
    playerOf(*active->view()).play();
}

void CZolvaApp::OnStopView()
{
    CChildFrame* active = m_frame->activeChild();
    if (!active || !active->view()->isPlaying())
        return;
    playerOf(*active->view()).stop();
}

void CZolvaApp::OnPlayAll()
{
    const std::vector<CChildFrame*> views = m_frame->documents().allViews();
    for (CChildFrame* frame : views) {
        if (frame->view()->isPlaying())
            return;
    }
    if (!m_frame->commandAction(cmd::TieViews)->isChecked()) {
        OnPlayView();
        return;
    }
    m_tied->beginTie();
    for (size_t i = 0; i < views.size(); ++i)
        m_tied->addTiedView();
    for (CChildFrame* frame : views)
        playerOf(*frame->view()).play();
}

void CZolvaApp::OnStopPlaying()
{
    std::vector<ViewPlayer*> players;
    for (CChildFrame* frame : m_frame->documents().allViews()) {
        if (ViewPlayer* player = ViewPlayer::of(*frame->view()))
            players.push_back(player);
    }
    // Every thread winds down at once; then each is waited for.
    for (ViewPlayer* player : players)
        player->requestStop();
    for (ViewPlayer* player : players)
        player->halt();
    m_midi->CloseMidiOutput();
    m_midi->OpenMidiOutput();
}
