#pragma once

#include "app/command_table.h"
#include "app/recent_file_list.h"
#include "app/url_opener.h"

#include <QHash>
#include <QMainWindow>

#include <atomic>
#include <functional>
#include <memory>

class CChildFrame;
class CZolvaDoc;
class QLabel;
class DocumentRegistry;
class MessageSink;
class MidiSession;
class SoundInputs;
class QAction;
class QLabel;
class QLineEdit;
class QMdiArea;
class QMenu;
class QSpinBox;
class QToolBar;
class StatusNotice;
struct PracticeControls;

// The main window: the document windows in a multiple-document area, both menu
// bars, the main toolbar and the note bar, the status bar and the play-delay
// box. Every command is one QAction made from the command table; one routine,
// updateCommands, decides which of them are enabled.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(MessageSink& messages, QWidget* parent = nullptr);
    ~CMainFrame() override;

    QMdiArea* mdiArea() const { return m_mdiArea; }
    DocumentRegistry& documents() const { return *m_documents; }
    QToolBar* mainToolBar() const { return m_mainToolBar; }
    QToolBar* noteBar() const { return m_noteBar; }
    QLineEdit* playDelayBox() const { return m_playDelayBox; }
    QToolBar* practiceBar() const { return m_practiceBar; }
    QSpinBox* speedBox() const { return m_speedBox; }
    // The status-bar pane with the active window's zoom.
    QLabel* zoomPane() const { return m_zoomPane; }
    // Seconds to wait before playing: the leading integer of the box's text.
    int playDelay() const { return m_playDelay; }

    // The action of a command id, or null.
    QAction* commandAction(int id) const { return m_actions.value(id); }
    // Runs handler when the command is triggered (it stays subject to its rule).
    void onCommand(int id, std::function<void()> handler);
    // MIDI Setup runs the MIDI Configuration dialog on midi.
    void addMidiSetup(MidiSession& midi, SoundInputs& inputs);
    // About, Online Documentation and License; addresses go through opener,
    // and one it cannot open is named in the status bar for a while.
    void addInformationCommands(MessageSink& messages, UrlOpener opener);
    static constexpr int kUnopenedAddressMs = 10000;
    // Puts the practice tools in place on practice: the Practice menu, the
    // enabling of its commands and of the bar's, the speed and the metronome
    // as remembered in "Speed" and "Metronome", and their status-bar panes.
    void addPracticeTools(PracticeControls& practice);
    // The position pane shows text while it is not empty.
    void showPlayPosition(const QString& text);
    // Shows text in the status bar for ms, through the prompts of commands
    // the mouse passes over.
    void showNotice(const QString& text, int ms);

    // The active document window, or null.
    CChildFrame* activeChild() const;
    // The keyboard to the active window's music, from a box of the toolbars.
    void giveKeyboardToMusic();
    CZolvaDoc* activeDocument() const;

    RecentFileList& recentFiles() { return m_recentFiles; }
    // Call after the recent-file list changed.
    void updateRecentFiles();
    // Opens a recent file or one dropped on the window, as File > Open opens
    // it; the application sets how.
    void setFileOpener(std::function<void(const QString&)> opener) { m_openFile = std::move(opener); }

    // Recomputes every command's enabled state, the menu bar and the title.
    void updateCommands();

    // Shows the window at its saved "WindowPos"; a show state other than
    // normal (1) wins over the saved one. A window saved minimised comes back
    // normal, or maximised if it was maximised before, not out of sight.
    void RestoreWindowPlacement(int showState);
    // Whether the toolbar docking saved under name names only bars this
    // window has.
    bool CheckDockState(const QString& name) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    // Files dragged from a file manager open; other drags are refused.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Builds the bars, the play-delay box and the commands' links.
    void OnCreate();
    // Keeps the placement and the docking, then closes every document window.
    void OnClose();
    void createActions();
    void createMenus();
    void fillMenu(QMenu* menu, std::span<const int> entries);
    void createToolBars();
    void fillToolBar(QToolBar* bar, std::span<const int> buttons);
    void createStatusBar();
    void fillPlayDelayBox();
    void restoreDockState();
    void connectFrameCommands();
    void rebuildWindowList();
    void onPlayDelayEdited(const QString& text);
    void createPracticeBar();
    void setSpeed(int percent);
    QLabel* addPane(const QString& name);

    std::unique_ptr<DocumentRegistry> m_documents;
    QMdiArea* m_mdiArea;
    QHash<int, QAction*> m_actions;
    QList<QMenu*> m_menusWithout;
    QList<QMenu*> m_menusWith;
    QMenu* m_windowMenu = nullptr;
    QList<QAction*> m_windowListActions;
    bool m_showingDocumentMenus = true;
    QToolBar* m_mainToolBar = nullptr;
    QToolBar* m_noteBar = nullptr;
    QLineEdit* m_playDelayBox = nullptr;
    QToolBar* m_practiceBar = nullptr;
    QSpinBox* m_speedBox = nullptr;
    QMenu* m_practiceMenu = nullptr;
    PracticeControls* m_practice = nullptr; // null until the tools are in place
    QLabel* m_positionPane = nullptr;
    QLabel* m_speedPane = nullptr;
    QLabel* m_zoomPane = nullptr;
    StatusNotice* m_notice = nullptr;
    std::atomic<int> m_playDelay{0};
    RecentFileList m_recentFiles;
    std::function<void(const QString&)> m_openFile;
};
