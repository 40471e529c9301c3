#include "app/zolva_app.h"

#include "app/display_version.h"
#include "app/document_registry.h"
#include "app/mainframe.h"
#include "app/music_importer.h"
#include "app/program_files.h"
#include "app/progress_wait.h"
#include "app/child_frame.h"
#include "app/command_table.h"
#include "doc/settings_store.h"
#include "app/listening.h"
#include "app/play_along_command.h"
#include "app/tuner_command.h"
#include "app/view_player.h"
#include "listen/sound_inputs.h"
#include "play/midi_session.h"
#include "play/play_clock.h"
#include "play/tied_views.h"
#include "app/zolva_view.h"

#include <QAction>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

constexpr int kImportStatusMs = 10000;

QStringList chooseMusicFiles(QWidget* parent, const QString& folder)
{
    return QFileDialog::getOpenFileNames(parent, QStringLiteral("Open"), folder, musicFileFilters());
}

} // namespace

QString musicFileFilters()
{
    return QStringLiteral("All readable files (*.zvm *.mid *.midi *.musicxml *.xml *.mxl);;"
                          "Zolva Files (*.zvm);;"
                          "MIDI Files (*.mid *.midi);;"
                          "MusicXML Files (*.musicxml *.xml *.mxl)");
}

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
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QStringLiteral("Music files (.zvm), MIDI files or MusicXML files to open."),
                                 QStringLiteral("[files...]"));
    const QCommandLineOption newInstance(
        QStringLiteral("new-instance"),
        QStringLiteral("Start a program of its own instead of handing the files to the one running."));
    const QCommandLineOption thumbnail(
        QStringLiteral("thumbnail"),
        QStringLiteral("Draw the start of INPUT's tablature into OUTPUT, a PNG picture of SIZE pixels, and exit. "
                       "The files are then INPUT OUTPUT SIZE."));
    parser.addOption(newInstance);
    parser.addOption(thumbnail);
    parser.parse(arguments); // unknown switches are no error
    CommandLine line;
    // The help lists --help-all too: with no window system asked for yet, it
    // prints the same.
    line.help = parser.isSet(help) || parser.isSet(QStringLiteral("help-all"));
    line.version = parser.isSet(version);
    line.helpText = parser.helpText();
    // Read before the application object exists, the parser knows no program name.
    if (!arguments.isEmpty())
        line.helpText.replace(QStringLiteral("<executable_name>"), QFileInfo(arguments.first()).fileName());
    line.files = parser.positionalArguments();
    line.newInstance = parser.isSet(newInstance);
    line.thumbnail = parser.isSet(thumbnail);
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
    // A folder that cannot be made is no error: File > Open then starts at home.
    const QString parent =
        makeUserFolders(folder, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    m_musicFolder = parent + QStringLiteral("Music/");
    m_templatesFolder = parent + QStringLiteral("Templates/");
}

bool CZolvaApp::StartUp(const QStringList& filesToOpen, int showState)
{
    if (m_programFolder.isEmpty())
        setProgramFolder(folderOfPath(QCoreApplication::applicationFilePath()));
    QCoreApplication::setApplicationVersion(QString::fromStdString(programDisplayVersion().version));
    m_midi->OpenMidiOutput();
    m_midi->readMute();
    // A reopening that fails says so here, never on the session's thread.
    m_midi->setUiPost([](std::function<void()> call) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(call), Qt::QueuedConnection);
    });

    m_frame = std::make_unique<CMainFrame>(m_messages);
    m_importer = std::make_unique<MusicImporter>(m_messages, m_frame.get());
    m_progress = std::make_unique<ProgressWait>(m_frame.get());
    m_frame->documents().setBackgroundLoad(m_progress->load());
    m_importer->setBackgroundLoad(m_progress->load());
    m_frame->documents().setImporter([this](CZolvaDoc& doc, const QString& path) {
        return m_importer->open(doc, path, m_frame->documents().documents());
    });
    if (!m_soundInputs) {
        m_systemInputs = std::make_unique<SystemSoundInputs>();
        m_soundInputs = m_systemInputs.get();
    }
    m_frame->addMidiSetup(*m_midi, *m_soundInputs);
    // The metronome's drum kit loads when it is switched on, not at its first click.
    QAction* metronome = m_frame->commandAction(cmd::Metronome);
    m_midi->setDrumsWanted(metronome->isChecked());
    QObject::connect(metronome, &QAction::toggled, m_frame.get(), [this](bool on) { m_midi->setDrumsWanted(on); });
    m_frame->addInformationCommands(m_messages, m_opener);
    m_frame->onCommand(57601, [this] { OnFileOpen(); });
    m_frame->onCommand(cmd::ExportAudio, [this] { OnExportAudio(); });
    m_frame->onCommand(cmd::ExportMidi, [this] { OnExportMidi(); });
    addPlayCommands();
    m_tuner = std::make_unique<TunerCommand>(*m_frame, *m_soundInputs, m_messages);
    m_playAlong = std::make_unique<PlayAlongCommand>(*m_frame, *m_tuner->listening(), m_messages, m_practice);
    m_frame->setFileOpener([this](const QString& path) { OpenDocumentFile(path); });

    for (const QString& file : filesToOpen)
        if (!file.isEmpty())
            OpenDocumentFile(file);
    m_frame->RestoreWindowPlacement(showState);
    return true;
}

int CZolvaApp::ShutDown(int exitCode)
{
    if (m_tuner)
        m_tuner->listening()->stop();
    m_midi->CloseMidiOutput();
    return exitCode;
}

int CZolvaApp::playDelay() const
{
    return m_frame ? m_frame->playDelay() : 0;
}

QString CZolvaApp::openFolder() const
{
    const QString last = readSettingText(SettingKey::LastOpenPath);
    if (!last.isEmpty())
        return last;
    // The user's own music first; an empty folder shows nothing to open.
    if (!QDir(m_musicFolder).entryList({QStringLiteral("*.zvm")}, QDir::Files).isEmpty())
        return m_musicFolder;
    const QString examples = examplesFolder(m_programFolder);
    return examples.isEmpty() ? QDir::homePath() : examples;
}

void CZolvaApp::OnFileOpen()
{
    for (const QString& file : m_chooseFiles(m_frame.get(), openFolder())) {
        // Recorded before the open, so a file that fails still sets the folder.
        writeSettingText(SettingKey::LastOpenPath, folderOfPath(QDir::fromNativeSeparators(file)));
        OpenDocumentFile(file);
    }
}

void CZolvaApp::OnExportMidi()
{
    CChildFrame* child = m_frame->activeChild();
    if (child && child->view())
        exportMidi(*child->view(), m_practice, openFolder(), m_chooseMidiFile, m_messages, m_frame.get(),
                   m_progress->load(QStringLiteral("Exporting")));
}

void CZolvaApp::OnExportAudio()
{
    CChildFrame* child = m_frame->activeChild();
    if (!child || !child->view())
        return;
    const std::optional<AudioExportChoice> choice =
        m_chooseAudioExport(m_frame.get(), child->view()->document().pathName(), openFolder(), m_practice);
    if (choice)
        exportAudio(*child->view(), *choice, m_messages, m_progress->load(QStringLiteral("Exporting")));
}

void CZolvaApp::OpenHandedFiles(const QStringList& paths)
{
    if (m_frame->isMinimized())
        m_frame->showNormal();
    m_frame->raise();
    m_frame->activateWindow();
    for (const QString& path : paths)
        OpenDocumentFile(path);
}

CZolvaDoc* CZolvaApp::OpenDocumentFile(const QString& path)
{
    const OpenResult opened = m_frame->documents().openDocument(path);
    RecentFileList& recent = m_frame->recentFiles();
    if (opened.document)
        recent.add(path);
    else if (opened.outcome == OpenOutcome::Failed)
        recent.remove(path); // a recent file that no longer opens leaves the list
    recent.save();
    m_frame->updateRecentFiles();
    if (opened.document && !opened.status.isEmpty())
        m_frame->showNotice(opened.status, kImportStatusMs);
    return opened.document;
}

void CZolvaApp::addPlayCommands()
{
    m_frame->documents().setViewSetup([this](CZolvaView& view) { setUpView(view); });
    m_frame->onCommand(cmd::PlayView, [this] { OnPlayView(); });
    m_frame->onCommand(cmd::StopView, [this] { OnStopView(); });
    m_frame->onCommand(cmd::PlayAll, [this] { OnPlayAll(); });
    m_frame->onCommand(cmd::StopPlaying, [this] { OnStopPlaying(); });
    m_frame->onCommand(cmd::Home, [this] { BroadcastCommand(cmd::ViewHome); });
    m_frame->onCommand(cmd::End, [this] { BroadcastCommand(cmd::ViewEnd); });
    QObject::connect(m_frame->commandAction(cmd::TieViews), &QAction::toggled, m_frame.get(), [this](bool tied) {
        m_tieViews = tied;
        m_frame->updateCommands(); // a loop is for untied views
    });
    m_frame->addPracticeTools(m_practice);
    m_frame->onCommand(cmd::PlayOrStop, [this] { OnPlayOrStop(); });
}

void CZolvaApp::setUpView(CZolvaView& view)
{
    view.setMidi(m_midi.get());
    // A new window opens at the zoom last chosen in any window.
    view.setZoom(validZoom(leadingIntegerOf(readSettingText(SettingKey::Zoom))));
    QObject::connect(&view, &CZolvaView::zoomChanged, m_frame.get(), [this](int percent) {
        writeSettingText(SettingKey::Zoom, QString::number(percent));
        m_frame->updateCommands();
    });
    QObject::connect(&view, &CZolvaView::playAllRequested, m_frame.get(), [this] { OnPlayAll(); });
    QObject::connect(&view, &CZolvaView::stopPlayingRequested, m_frame.get(), [this] { OnStopPlaying(); });
    QObject::connect(&view, &CZolvaView::cursorMoved, m_frame.get(), [this] { m_frame->updateCommands(); });
}

ViewPlayer& CZolvaApp::playerOf(CZolvaView& view)
{
    if (ViewPlayer* player = ViewPlayer::of(view))
        return *player;
    auto* player = new ViewPlayer(view, *m_midi, *m_tied, *m_clock, &m_practice);
    QLineEdit* box = m_frame->playDelayBox();
    QObject::connect(player, &ViewPlayer::playDelayShown, box, &QLineEdit::setText);
    QObject::connect(player, &ViewPlayer::playDelayBoxEnabled, box, &QWidget::setEnabled);
    QObject::connect(player, &ViewPlayer::positionShown, m_frame.get(), &CMainFrame::showPlayPosition);
    QObject::connect(player, &ViewPlayer::playingChanged, m_frame.get(), &CMainFrame::updateCommands);
    return *player;
}

ViewPlayer::PlayOptions CZolvaApp::practiceFor(CZolvaView& view) const
{
    ViewPlayer::PlayOptions options;
    const QAction* loop = m_frame->commandAction(cmd::LoopSelection);
    options.loop = !m_tieViews && loop->isChecked() && loop->isEnabled();
    options.clicks = !m_tieViews || &view == m_clickingView;
    return options;
}

void CZolvaApp::OnViewCommand(CZolvaView& view, int viewCommand)
{
    const bool playing = view.isPlaying();
    switch (viewCommand) {
    case cmd::PlayView:
        if (!playing)
            playerOf(view).play(playDelay(), practiceFor(view));
        break;
    case cmd::StopView:
        if (playing)
            playerOf(view).stop();
        break;
    case cmd::ViewHome:
        if (!playing)
            view.OnHome();
        break;
    case cmd::ViewEnd:
        if (!playing)
            view.OnEnd();
        break;
    default:
        break;
    }
}

void CZolvaApp::postViewCommand(CZolvaView& view, int viewCommand)
{
    QMetaObject::invokeMethod(
        &view, [this, &view, viewCommand] { OnViewCommand(view, viewCommand); }, Qt::QueuedConnection);
}

void CZolvaApp::OnPlayView()
{
    if (CChildFrame* active = m_frame->activeChild())
        OnViewCommand(*active->view(), cmd::PlayView);
}

void CZolvaApp::OnStopView()
{
    if (CChildFrame* active = m_frame->activeChild())
        OnViewCommand(*active->view(), cmd::StopView);
}

void CZolvaApp::BroadcastCommand(int viewCommand)
{
    if (!m_tieViews) {
        if (CChildFrame* active = m_frame->activeChild())
            postViewCommand(*active->view(), viewCommand);
        return;
    }
    for (CChildFrame* frame : m_frame->documents().viewsByDocument())
        postViewCommand(*frame->view(), viewCommand);
}

void CZolvaApp::OnPlayAll()
{
    m_tied->beginTie();
    if (!m_tieViews) {
        if (CChildFrame* active = m_frame->activeChild())
            postViewCommand(*active->view(), cmd::PlayView);
        return;
    }
    // Counted before any of them starts: the threads start as the views
    // handle what is posted here, after this returns.
    const std::vector<CChildFrame*> views = m_frame->documents().viewsByDocument();
    m_clickingView = views.empty() ? nullptr : views.front()->view();
    for (CChildFrame* frame : views)
        postViewCommand(*frame->view(), cmd::PlayView);
    m_tied->tieViews(int(views.size()));
}

// Every view this Stop reaches is asked to stop before any is waited for,
// and the output restarts once for them all: tied views go idle together.
void CZolvaApp::OnStopPlaying()
{
    CChildFrame* active = m_frame->activeChild();
    std::vector<CZolvaView*> stopping;
    if (!m_tieViews && active && active->view()->isPlaying()) {
        stopping.push_back(active->view());
    } else {
        // Tied, every view; untied with the music playing in a window that
        // is not the active one, that one: Stop still stops it.
        for (CChildFrame* frame : m_frame->documents().viewsByDocument())
            if (frame->view()->isPlaying())
                stopping.push_back(frame->view());
    }
    if (stopping.empty())
        return;
    for (CZolvaView* view : stopping)
        playerOf(*view).requestStop();
    for (CZolvaView* view : stopping)
        playerOf(*view).stop(false);
    m_midi->restartOutput();
}

void CZolvaApp::OnPlayOrStop()
{
    for (CChildFrame* frame : m_frame->documents().viewsByDocument()) {
        if (frame->view()->isPlaying()) {
            OnStopPlaying();
            return;
        }
    }
    OnPlayAll();
}
