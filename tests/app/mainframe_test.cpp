// The main window on its own: both menu bars, the enabling of every command,
// toolbars, status bar, the play-delay box, placement and docking.
#include "app/mainframe.h"
#include "app/window_placement.h"

#include "app/child_frame.h"
#include "app/document_registry.h"
#include "recording_sink.h"
#include "shell_fixture.h"
#include "url_recorder.h"
#include "app/zolva_view.h"

#include <QScreen>
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QToolBar>
#include <QWidgetAction>

#include <set>

namespace {

const QString kMusic = QStringLiteral(ZOLVA_SOURCE_DIR "/examples/ode_to_joy.zvm");

// Entries as shown: texts, "|" for separators, hidden entries left out.
QStringList menuTexts(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        if (action->isVisible())
            texts << (action->isSeparator() ? QStringLiteral("|") : action->text());
    }
    return texts;
}

QStringList menuBarTitles(CMainFrame& frame)
{
    QStringList titles;
    for (const QAction* action : frame.menuBar()->actions())
        titles << action->text();
    return titles;
}

const QMenu* menuTitled(CMainFrame& frame, const QString& title)
{
    for (const QAction* action : frame.menuBar()->actions()) {
        if (action->text() == title)
            return action->menu();
    }
    return nullptr;
}

// Button ids in order, 0 for separators.
std::vector<int> buttonIds(const QToolBar* bar)
{
    std::vector<int> ids;
    for (QAction* action : bar->actions()) {
        if (action->isSeparator())
            ids.push_back(0);
        else if (qobject_cast<QWidgetAction*>(action))
            ids.push_back(bar->widgetForAction(action)->objectName() == "PlayDelayBox" ? 32836 : -1);
        else
            ids.push_back(action->data().toInt());
    }
    return ids;
}

int paintedPixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 0;
    }
    return count;
}

std::set<int> enabledIds(const CMainFrame& frame)
{
    std::set<int> ids;
    for (const CommandInfo& command : commandTable()) {
        if (frame.commandAction(command.id)->isEnabled())
            ids.insert(command.id);
    }
    return ids;
}

using MainFrameTest = ShellTest;

TEST_F(MainFrameTest, MenusWithoutADocument)
{
    RecordingSink sink;
    CMainFrame frame(sink);
    EXPECT_EQ(frame.windowTitle(), "Zolva Reader");
    EXPECT_EQ(menuBarTitles(frame), (QStringList{"&File", "&View", "&Help"}));
    EXPECT_EQ(menuTexts(menuTitled(frame, "&File")),
              (QStringList{"&New\tCtrl+N", "&Open...\tCtrl+O", "|", "P&rint Setup...", "|", "Recent File", "|",
                           "E&xit"}));
    EXPECT_EQ(menuTexts(menuTitled(frame, "&View")),
              (QStringList{"&Note Bar", "&Status Bar", "|", "Zoom &In\tCtrl++", "Zoom &Out\tCtrl+-",
                           "&Actual Size\tCtrl+0"}));
    EXPECT_EQ(menuTexts(menuTitled(frame, "&Help")),
              (QStringList{"&About Zolva Reader...", "Online Documentation", "&License"}));
}

TEST_F(MainFrameTest, MenusWithADocument)
{
    RecordingSink sink;
    CMainFrame frame(sink);
    ASSERT_TRUE(frame.documents().openDocument(kMusic).document);
    EXPECT_EQ(frame.windowTitle(), "Zolva Reader - ode_to_joy.zvm");
    EXPECT_EQ(menuBarTitles(frame),
              (QStringList{"&File", "&Edit", "&View", "&Insert", "&Music Box", "&Window", "&Help"}));
    EXPECT_EQ(menuTexts(menuTitled(frame, "&File")),
              (QStringList{"&New\tCtrl+N", "&Open...\tCtrl+O", "&Close", "&Save\tCtrl+S", "Save &As...",
                           "Save to &Bmp", "Export &Sheet...", "Export A&udio...", "Export &MIDI...", "|", "&Print...\tCtrl+P", "Print Pre&view",
                           "P&rint Setup...", "|", "Recent File", "|", "E&xit"}));
    EXPECT_EQ(menuTexts(menuTitled(frame, "&Edit")),
              (QStringList{"&Undo\tCtrl+Z", "&Redo\tCtrl+Y", "|", "Cu&t\tCtrl+X", "&Copy\tCtrl+C",
                           "&Paste\tCtrl+V", "|", "Select &All\tCtrl+A", "|", "Confi&guration", "Author &Info"}));
    EXPECT_EQ(menuTexts(menuTitled(frame, "&View")),
              (QStringList{"&Toolbar", "&Status Bar", "|", "Zoom &In\tCtrl++", "Zoom &Out\tCtrl+-",
                           "&Actual Size\tCtrl+0"}));
    EXPECT_EQ(menuTexts(menuTitled(frame, "&Insert")),
              (QStringList{"Repeat Count", "Time Signature", "Tempo", "|", "Repeat Open", "Repeat Close",
                           "Repeat Close/Open", "Fixed Barline", "|", "Insert 1 &Below", "Insert 1 &Above",
                           "Insert &4 Above", "Insert &8 Above", "Insert 1&2 Above", "Insert 1&6 Above"}));
    EXPECT_EQ(menuTexts(menuTitled(frame, "&Music Box")),
              (QStringList{"Print for Music Box", "Print Preview for Music Box"}));
    EXPECT_EQ(menuTexts(menuTitled(frame, "&Window")),
              (QStringList{"&New Window", "&Cascade", "&Tile", "&Arrange Icons"}));

    // The last window gone, the short menu bar is back.
    frame.commandAction(57602)->trigger();
    EXPECT_EQ(menuBarTitles(frame), (QStringList{"&File", "&View", "&Help"}));
    EXPECT_EQ(frame.windowTitle(), "Zolva Reader");
}

TEST_F(MainFrameTest, EnablingOfEveryCommand)
{
    RecordingSink sink;
    CMainFrame frame(sink);
    const std::set<int> always{57601, 57665, 59392, 59393, 57664, 32837, 32823, 32833, 32836};
    EXPECT_EQ(enabledIds(frame), always);

    ASSERT_TRUE(frame.documents().openDocument(kMusic).document);
    std::set<int> withDocument = always;
    withDocument.insert({57602, 32824, 57648, 57650, 57652, 57649, 32826, 32830, 32831, 32832, 32782, 33020, 33021,
                         33022, 33030, 33031, 33032, 33040, 33041});
    EXPECT_EQ(enabledIds(frame), withDocument);

    // While the view plays: the two Stops instead of the two Plays.
    frame.activeChild()->view()->setPlaying(true);
    frame.updateCommands();
    std::set<int> playing = withDocument;
    playing.erase(32826);
    playing.erase(32782);
    playing.insert({32827, 32783});
    EXPECT_EQ(enabledIds(frame), playing);
    frame.activeChild()->view()->setPlaying(false);
}

TEST_F(MainFrameTest, DisabledCommandsAreInertAndTextFieldsKeepTheirLetters)
{
    RecordingSink sink;
    CMainFrame frame(sink);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    ASSERT_TRUE(frame.documents().openDocument(kMusic).document);
    QSignalSpy newSpy(frame.commandAction(57600), &QAction::triggered);
    QSignalSpy playSpy(frame.commandAction(32782), &QAction::triggered);

    QWidget* view = frame.activeChild()->widget();
    view->setFocus();
    QTest::keyClick(view, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(newSpy.count(), 0);
    QTest::keyClick(view, Qt::Key_P);
    EXPECT_EQ(playSpy.count(), 1);

    // While something plays, S stops it, but not from the play-delay box.
    frame.activeChild()->view()->setPlaying(true);
    frame.updateCommands();
    QSignalSpy stopSpy(frame.commandAction(32827), &QAction::triggered);
    frame.playDelayBox()->setFocus();
    frame.playDelayBox()->clear();
    QTest::keyClicks(frame.playDelayBox(), "ps");
    EXPECT_EQ(playSpy.count(), 1);
    EXPECT_EQ(stopSpy.count(), 0);
    EXPECT_EQ(frame.playDelayBox()->text(), "ps");
    view->setFocus();
    QTest::keyClick(view, Qt::Key_S);
    EXPECT_EQ(stopSpy.count(), 1);
    frame.activeChild()->view()->setPlaying(false);
}

TEST_F(MainFrameTest, ToolbarsAndStatusBar)
{
    RecordingSink sink;
    CMainFrame frame(sink);
    EXPECT_EQ(buttonIds(frame.mainToolBar()),
              (std::vector<int>{57600, 57601, 57603, 32818, 0, 57607, 0, 32805, 32824, 57664, 0, 57635, 57634, 57637,
                                0, 57643, 57644, 0, 32836, 32826, 32827, 32831, 32832, 32830, 57652, 0, 32833,
                                32815, 32820, 32816, 32821, 32822, 0, 32817}));
    EXPECT_EQ(buttonIds(frame.noteBar()), (std::vector<int>{32789, 32790, 32791, 32792, 32793, 32794, 32795, 0,
                                                            32796, 32806, 32800, 32807, 32812, 32804, 0, 32797}));
    // Every button has a picture, sharp at the toolbar's size and at twice it.
    for (QAction* action : frame.mainToolBar()->actions() + frame.noteBar()->actions()) {
        if (action->isSeparator() || qobject_cast<QWidgetAction*>(action))
            continue;
        const QPixmap doubled = action->icon().pixmap(QSize(16, 15), 2.0);
        EXPECT_EQ(doubled.deviceIndependentSize(), QSizeF(16, 15)) << action->data().toInt();
        EXPECT_EQ(doubled.size(), QSize(32, 30)) << action->data().toInt();
        EXPECT_GT(paintedPixels(doubled.toImage()), 20) << action->data().toInt();
    }
    EXPECT_FALSE(frame.mainToolBar()->isMovable());
    EXPECT_TRUE(frame.noteBar()->isMovable());
    EXPECT_EQ(frame.toolBarArea(frame.noteBar()), Qt::TopToolBarArea);
    EXPECT_EQ(frame.playDelayBox()->toolTip(), "Play Delay (Secs)");
    EXPECT_EQ(frame.commandAction(57652)->toolTip(), "Tile Windows");
    EXPECT_EQ(frame.commandAction(57601)->statusTip(), "Open an existing document");

    QStringList panes;
    for (const QLabel* label : frame.statusBar()->findChildren<QLabel*>())
        panes << label->text();
    EXPECT_EQ(panes, (QStringList{"Ready", "", "CAP", "NUM", "SCRL"})) << "the zoom pane, empty at 100%";

    // A command under the mouse puts its prompt over "Ready".
    frame.commandAction(57652)->showStatusText(&frame);
    EXPECT_EQ(frame.statusBar()->currentMessage(), "Arrange windows as non-overlapping tiles");
    QStatusTipEvent leave{QString()};
    QCoreApplication::sendEvent(&frame, &leave);
    EXPECT_EQ(frame.statusBar()->currentMessage(), "");
}

TEST_F(MainFrameTest, ViewTogglesActOnTheNoteBarAndTheStatusBar)
{
    RecordingSink sink;
    CMainFrame frame(sink);
    frame.show();
    QAction* toggle = frame.commandAction(59392);
    EXPECT_TRUE(toggle->isChecked());
    toggle->trigger();
    EXPECT_TRUE(frame.noteBar()->isHidden());
    EXPECT_FALSE(frame.mainToolBar()->isHidden());
    EXPECT_FALSE(toggle->isChecked());
    toggle->trigger();
    EXPECT_FALSE(frame.noteBar()->isHidden());
    EXPECT_TRUE(toggle->isChecked());

    frame.commandAction(59393)->trigger();
    EXPECT_TRUE(frame.statusBar()->isHidden());
}

TEST_F(MainFrameTest, PlayDelayBoxStoresTextAsTyped)
{
    RecordingSink sink;
    struct Row {
        const char* typed;
        int delay;
        const char* nextStart;
    };
    for (const Row& row : {Row{"abc", 0, "0"}, Row{"-3", -3, "-3"}, Row{" 12s", 12, "12"}}) {
        SCOPED_TRACE(row.typed);
        {
            CMainFrame frame(sink);
            EXPECT_EQ(get("PlayDelay"), frame.playDelayBox()->text());
            frame.playDelayBox()->setText(row.typed);
            EXPECT_EQ(get("PlayDelay"), row.typed);
            EXPECT_EQ(frame.playDelay(), row.delay);
        }
        CMainFrame next(sink);
        EXPECT_EQ(next.playDelayBox()->text(), row.nextStart);
        EXPECT_EQ(get("PlayDelay"), row.nextStart);
        EXPECT_EQ(next.playDelay(), row.delay);
    }
}

TEST_F(MainFrameTest, FirstStartHasNoDelay)
{
    RecordingSink sink;
    CMainFrame frame(sink);
    EXPECT_EQ(frame.playDelayBox()->text(), "0");
    EXPECT_EQ(frame.playDelay(), 0);
    EXPECT_EQ(get("PlayDelay"), "0");
}

TEST_F(MainFrameTest, PlacementSurvivesRestarts)
{
    RecordingSink sink;
    {
        CMainFrame frame(sink);
        frame.RestoreWindowPlacement(1); // nothing saved: shown as it is
        EXPECT_FALSE(frame.isMaximized());
        frame.setGeometry(40, 50, 640, 480);
        frame.close();
        EXPECT_EQ(get("WindowPos"), "0,1,-1,-1,-1,-1,40,50,680,530");
    }
    {
        CMainFrame frame(sink);
        frame.RestoreWindowPlacement(1);
        EXPECT_EQ(frame.normalGeometry(), QRect(40, 50, 640, 480));
        frame.showMaximized();
        frame.close();
        EXPECT_EQ(get("WindowPos"), "2,3,-1,-1,-1,-1,40,50,680,530");
    }
    {
        CMainFrame frame(sink);
        frame.RestoreWindowPlacement(1);
        EXPECT_TRUE(frame.isMaximized());
        frame.close();
    }
    {
        // A minimised start wins over the saved state.
        CMainFrame frame(sink);
        frame.RestoreWindowPlacement(2);
        EXPECT_TRUE(frame.isMinimized());
        frame.close();
        EXPECT_TRUE(get("WindowPos").startsWith("2,2,"));
    }
    {
        // Closed while minimised: the next ordinary start shows it minimised.
        CMainFrame frame(sink);
        frame.RestoreWindowPlacement(1);
        EXPECT_TRUE(frame.isMinimized());
        frame.showNormal();
        frame.close();
        EXPECT_EQ(get("WindowPos"), "0,1,-1,-1,-1,-1,40,50,680,530");
    }
    {
        // ... and closed normal, normal.
        CMainFrame frame(sink);
        frame.RestoreWindowPlacement(1);
        EXPECT_FALSE(frame.isMinimized());
        EXPECT_FALSE(frame.isMaximized());
        EXPECT_EQ(frame.normalGeometry(), QRect(40, 50, 640, 480));
    }
}

TEST_F(MainFrameTest, BadPlacementIsIgnored)
{
    RecordingSink sink;
    for (const char* text : {"0,3,-1,-1,-1,-1,40,50,680", "0,3,-1,-1,-1,-1,40,50,680,5x0"}) {
        set("WindowPos", text);
        CMainFrame frame(sink);
        // As if nothing were saved: the first size, no larger than the screen.
        const QRect room = windowRoom(frame.screen()->availableGeometry());
        const QSize first = fitInside(QRect(QPoint(), frame.geometry().size()), room).size();
        frame.RestoreWindowPlacement(1);
        EXPECT_FALSE(frame.isMaximized()) << text;
        EXPECT_EQ(frame.geometry().size(), first) << text;
    }
}

TEST_F(MainFrameTest, DockingSurvivesRestartsUnlessItNamesAStrangeBar)
{
    RecordingSink sink;
    {
        CMainFrame frame(sink);
        frame.show();
        frame.addToolBar(Qt::LeftToolBarArea, frame.noteBar());
        frame.commandAction(59392)->trigger(); // hidden
        frame.close();
    }
    {
        CMainFrame frame(sink);
        EXPECT_TRUE(frame.CheckDockState("ToolbarDockState"));
        frame.show();
        EXPECT_EQ(frame.toolBarArea(frame.noteBar()), Qt::LeftToolBarArea);
        EXPECT_TRUE(frame.noteBar()->isHidden());
        EXPECT_FALSE(frame.commandAction(59392)->isChecked());
        EXPECT_FALSE(frame.mainToolBar()->isHidden());
        EXPECT_EQ(frame.toolBarArea(frame.mainToolBar()), Qt::TopToolBarArea);
    }
    QSettings("Zolva", "Zolva Reader")
        .setValue("ToolbarDockState/Bars", QStringList{"MainToolbar", "NoteBar", "GhostBar"});
    {
        CMainFrame frame(sink);
        EXPECT_FALSE(frame.CheckDockState("ToolbarDockState"));
        frame.show();
        EXPECT_EQ(frame.toolBarArea(frame.noteBar()), Qt::TopToolBarArea);
        EXPECT_FALSE(frame.noteBar()->isHidden());
    }
}

TEST_F(MainFrameTest, HelpCommandsReachTheInformationDialogs)
{
    RecordingSink sink;
    UrlRecorder urls;
    CMainFrame frame(sink);
    frame.addInformationCommands(sink, urls.opener());
    frame.commandAction(32837)->trigger();
    ASSERT_EQ(urls.requests.size(), 1);
    EXPECT_TRUE(urls.requests.first().isLocalFile());
    EXPECT_EQ(frame.statusBar()->currentMessage(), "");

    // Without a browser the status bar names the address, for a while.
    urls.opens = false;
    frame.commandAction(32837)->trigger();
    const QString manual = QDir::toNativeSeparators(urls.requests.last().toLocalFile());
    EXPECT_EQ(frame.statusBar()->currentMessage(), "Unable to open " + manual);
}

} // namespace
