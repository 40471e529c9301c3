#pragma once

#include "app/audio_export.h"
#include "app/midi_export.h"
#include "app/url_opener.h"
#include "app/view_player.h"

#include <QString>
#include <QStringList>

#include "play/practice_controls.h"

#include <functional>
#include <memory>

class CMainFrame;
class CZolvaDoc;
class MessageSink;
class MidiDevices;
class MidiSession;
class MusicImporter;
class ProgressWait;
class PlayClock;
class QWidget;
class TiedViews;
class CZolvaView;

// The folder part of a program path: everything up to and including its last
// "/", "\" or ":"; empty when it has none.
QString folderOfPath(const QString& path);

// The Open dialog's filters, as QFileDialog takes them: every kind the
// program reads first, so that the bundled MIDI and MusicXML songs show
// too, then each kind alone.
QString musicFileFilters();

// What the command line asks for: a file to open (empty for none), or help or
// the version. Switches the program does not know are ignored.
struct CommandLine {
    QStringList files;        // to open; with thumbnail: INPUT OUTPUT SIZE
    bool newInstance = false; // not handed to a program already running
    bool thumbnail = false;
    bool help = false;
    bool version = false;
    QString helpText;
};
CommandLine parseCommandLine(const QStringList& arguments);

// The application: the folders beside the program, the MIDI output, the main
// window and the opening of documents.
class PlayAlongCommand;
class SoundInputs;
class TunerCommand;

class CZolvaApp {
public:
    // Shows the names chosen in File > Open's dialog starting at folder; empty when cancelled.
    using FileChooser = std::function<QStringList(QWidget* parent, const QString& folder)>;

    CZolvaApp(MessageSink& messages, MidiDevices& devices, UrlOpener opener);
    ~CZolvaApp();

    // The start-up sequence: folders, MIDI output and "Mute", the main window,
    // the command line's file (opened before the window shows) and the window
    // at its saved placement with showState (1 normal, 2 minimised, 3 maximised).
    bool StartUp(const QStringList& filesToOpen, int showState = 1);
    // Closes the MIDI output; returns exitCode.
    int ShutDown(int exitCode);

    // File > Open: the chosen files in order, each first recorded in "LastOpenPath".
    void OnFileOpen();
    // Opens path or brings its window to the front; null when the open fails
    // or the player cancels it. An import says what it did in the status bar
    // for 10 seconds.
    CZolvaDoc* OpenDocumentFile(const QString& path);
    // Files a later start handed over: the main window comes to the front
    // and opens them.
    void OpenHandedFiles(const QStringList& paths);

    // Where File > Open starts: "LastOpenPath", else the music folder when it
    // holds music, else the examples that came with the program, else home.
    QString openFolder() const;
    void setFileChooser(FileChooser chooser) { m_chooseFiles = std::move(chooser); }
    // File > Export MIDI of the active view's document, offered in openFolder().
    void OnExportAudio();
    void OnExportMidi();
    void setMidiFileChooser(MidiFileChooser chooser) { m_chooseMidiFile = std::move(chooser); }
    void setAudioExportChooser(AudioExportChooser chooser) { m_chooseAudioExport = std::move(chooser); }
    // What the tuner may listen to, before StartUp; the system's inputs otherwise.
    void setSoundInputs(SoundInputs& inputs) { m_soundInputs = &inputs; }
    TunerCommand* tuner() const { return m_tuner.get(); }
    // Sets the program folder (normally the running program's); the music and
    // templates folders follow (beside it in a build tree, else in the user's
    // data folder) and are made when they can be.
    void setProgramFolder(const QString& folder);

    // Opens MIDI and MusicXML files; its dialog can be replaced for tests.
    MusicImporter& importer() const { return *m_importer; }

    QString programFolder() const { return m_programFolder; }
    QString musicFolder() const { return m_musicFolder; }
    QString templatesFolder() const { return m_templatesFolder; }
    CMainFrame* mainFrame() const { return m_frame.get(); }
    MidiSession& midi() const { return *m_midi; }
    int playDelay() const;
    TiedViews& tiedViews() const { return *m_tied; }

    // Whether Play, Stop Playing, Home and End act on every view at once.
    bool tieViews() const { return m_tieViews; }

    // Play and Stop playing of the active view (the keys and menu reach it).
    void OnPlayView();
    void OnStopView();
    // The application's Play: the active view plays, or every view when the
    // views are tied, keeping in step at bar lines.
    void OnPlayAll();
    // The application's Stop Playing.
    void OnStopPlaying();
    // Space: Stop Playing while any view plays, otherwise the application's Play.
    void OnPlayOrStop();
    PracticeControls& practice() { return m_practice; }
    // Posts the view command viewCommand to the active view, or to every view
    // while the views are tied; each carries it out when it gets to it.
    void BroadcastCommand(int viewCommand);
    // Carries out a view command (Play, Stop playing, Home, End) on view, if
    // its rule allows it at this moment; otherwise it is dropped.
    void OnViewCommand(CZolvaView& view, int viewCommand);

private:
    void addPlayCommands();
    // How view plays with the practice tools as they are set now.
    ViewPlayer::PlayOptions practiceFor(CZolvaView& view) const;
    // Sound and the program-wide keys for a new view.
    void setUpView(CZolvaView& view);
    // Queues viewCommand for view; dropped if the view goes first.
    void postViewCommand(CZolvaView& view, int viewCommand);
    // The player of view, made on its first Play.
    ViewPlayer& playerOf(CZolvaView& view);

    MessageSink& m_messages;
    UrlOpener m_opener;
    std::unique_ptr<MidiSession> m_midi;
    // The playback threads use these and the MIDI output until the windows have gone.
    std::unique_ptr<TiedViews> m_tied;
    PracticeControls m_practice;
    CZolvaView* m_clickingView = nullptr; // of tied views, the one that clicks
    std::unique_ptr<PlayClock> m_clock;
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<MusicImporter> m_importer;
    std::unique_ptr<ProgressWait> m_progress;
    QString m_programFolder;
    QString m_musicFolder;
    QString m_templatesFolder;
    FileChooser m_chooseFiles;
    MidiFileChooser m_chooseMidiFile = chooseMidiFile;
    std::unique_ptr<SoundInputs> m_systemInputs;
    SoundInputs* m_soundInputs = nullptr;
    std::unique_ptr<TunerCommand> m_tuner;
    std::unique_ptr<PlayAlongCommand> m_playAlong; // listens through the tuner's listening
    AudioExportChooser m_chooseAudioExport = chooseAudioExport;
    bool m_tieViews = false;
};
