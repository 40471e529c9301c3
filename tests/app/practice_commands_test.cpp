// The practice tools in the running program: the Practice menu and bar, Space,
// the speed with its setting and pane, the metronome setting and the loop.
#include "app_fixture.h"

#include "app/command_table.h"
#include "xml/xpxml_node.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

namespace {

const char* const kShortPiece = "<Bar Tempo=\"600\"/><Note Value=\"4\" Tines=\"9\"/><Note Value=\"4\" Tines=\"10\"/>"
                                "<Note Value=\"4\" Tines=\"8\"/>";
// A note of eight seconds.
const char* const kLongPiece = "<Bar Tempo=\"30\"/><Note Value=\"1\" Tines=\"9\"/><Note Value=\"1\" Tines=\"10\"/>";

using PracticeCommandsTest = AppTest;

QStringList titles(const QList<QAction*>& actions)
{
    QStringList out;
    for (const QAction* action : actions)
        out << (action->isSeparator() ? QStringLiteral("|") : action->text());
    return out;
}

TEST_F(PracticeCommandsTest, PracticeMenuAndBarStandBesideTheOthers)
{
    ASSERT_TRUE(start(kShortPiece));
    EXPECT_EQ(titles(frame()->menuBar()->actions()),
              (QStringList{"&File", "&Edit", "&View", "&Insert", "&Music Box", "&Practice", "&Window", "&Help"}));
    const QMenu* practice = frame()->menuBar()->actions()[5]->menu();
    EXPECT_EQ(titles(practice->actions()),
              (QStringList{"&Play/Stop\tSpace", "|", "&Slower\tCtrl+Down", "&Faster\tCtrl+Up", "&Normal Speed", "|",
                           "&Metronome\tCtrl+M", "&Loop Selection\tCtrl+L", "|", "&Tuner...", "Play &Along", "&Keep Tempo"}));
    QToolBar* bar = frame()->practiceBar();
    EXPECT_TRUE(bar->isMovable());
    EXPECT_EQ(frame()->toolBarArea(bar), Qt::TopToolBarArea);
    EXPECT_EQ(bar->widgetForAction(bar->actions()[2]), frame()->speedBox());
    for (int id = 33000; id <= 33006; ++id) {
        EXPECT_FALSE(command(id)->statusTip().isEmpty()) << id;
        EXPECT_FALSE(command(id)->toolTip().isEmpty()) << id;
    }
    EXPECT_EQ(command(33005)->toolTip(), "Metronome (Ctrl+M)");
    EXPECT_EQ(command(33003)->toolTip(), "Normal Speed");
}

// With no saved docking the bar has a row of its own: at 900 pixels every
// control shows, each button a picture, none folded into the overflow menu.
TEST_F(PracticeCommandsTest, EveryPracticeControlShowsAtTheFirstWidth)
{
    ASSERT_TRUE(start(kShortPiece));
    frame()->resize(900, 600);
    frame()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame()));
    QToolBar* bar = frame()->practiceBar();
    EXPECT_GT(bar->y(), frame()->noteBar()->y());
    for (QAction* action : bar->actions()) {
        if (action->isSeparator())
            continue;
        const QWidget* button = bar->widgetForAction(action);
        ASSERT_TRUE(button) << action->text().toStdString();
        EXPECT_TRUE(button->isVisible()) << action->text().toStdString();
        EXPECT_TRUE(bar->rect().contains(button->geometry())) << action->text().toStdString();
        if (button != frame()->speedBox()) {
            EXPECT_FALSE(action->icon().isNull()) << action->text().toStdString();
        }
    }
}

TEST_F(PracticeCommandsTest, SpaceStartsAndStopsButNotFromATextBoxOrWhenHeld)
{
    CZolvaView* view = start(kLongPiece);
    ASSERT_TRUE(view);
    frame()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame()));
    view->setFocus();

    QTest::keyClick(view, Qt::Key_Space);
    QTRY_VERIFY_WITH_TIMEOUT(view->isPlaying(), 3000);
    // Held down: the repeats do nothing.
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QCoreApplication::sendEvent(view, &repeat);
    QTest::qWait(50);
    EXPECT_TRUE(view->isPlaying());

    // In the speed box and the play-delay box Space is typed, nothing else.
    for (QWidget* box : {static_cast<QWidget*>(frame()->playDelayBox()), static_cast<QWidget*>(frame()->speedBox())}) {
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Space);
        QTest::qWait(50);
        EXPECT_TRUE(view->isPlaying()) << box->objectName().toStdString();
    }

    view->setFocus();
    QTest::keyClick(view, Qt::Key_Space);
    QTRY_VERIFY_WITH_TIMEOUT(!view->isPlaying(), 3000);
}

// Enter takes what was typed into a box, Escape puts back what it held, and
// both give the keyboard back to the music: Space plays at once.
TEST_F(PracticeCommandsTest, EnterAndEscapeInABoxGiveTheKeysBack)
{
    CZolvaView* view = start(kLongPiece);
    ASSERT_TRUE(view);
    frame()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame()));
    QSpinBox* speed = frame()->speedBox();
    QLineEdit* delay = frame()->playDelayBox();
    const struct {
        QWidget* box;
        const char* typed;
        Qt::Key key;
        QString shown; // what the box holds afterwards
    } rows[] = {
        {speed, "150", Qt::Key_Return, "150%"},
        {speed, "60", Qt::Key_Escape, "150%"},
        {delay, "3", Qt::Key_Enter, "3"},
        {delay, "9", Qt::Key_Escape, "3"},
    };
    for (const auto& row : rows) {
        row.box->setFocus();
        QTRY_VERIFY(row.box->hasFocus());
        QLineEdit* edit = row.box == speed ? speed->findChild<QLineEdit*>() : delay;
        edit->selectAll();
        QTest::keyClicks(row.box, row.typed);
        QTest::keyClick(row.box, row.key);
        EXPECT_EQ(edit->text(), row.shown) << row.typed;
        EXPECT_TRUE(view->hasFocus()) << row.typed;
    }
    EXPECT_EQ(speed->value(), 150);
    QTest::keyClick(view, Qt::Key_Space);
    QTRY_VERIFY_WITH_TIMEOUT(view->isPlaying(), 3000);
    QTest::keyClick(view, Qt::Key_Space);
    QTRY_VERIFY_WITH_TIMEOUT(!view->isPlaying(), 3000);
}

TEST_F(PracticeCommandsTest, SpeedStepsClampsAndIsRemembered)
{
    set("Speed", "35");
    ASSERT_TRUE(start(kShortPiece));
    QSpinBox* box = frame()->speedBox();
    const QLabel* pane = frame()->statusBar()->findChild<QLabel*>("SpeedPane");
    ASSERT_TRUE(pane);
    EXPECT_EQ(box->value(), 35);
    EXPECT_EQ(app.practice().speed.load(), 35);
    EXPECT_EQ(pane->text(), "Speed 35%");
    EXPECT_FALSE(pane->isHidden());
    frame()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame()));
    const QLabel* cap = frame()->statusBar()->findChild<QLabel*>("CAP");
    EXPECT_LT(pane->geometry().right(), cap->geometry().left()) << "the pane stands before CAP";

    struct Row {
        int command;
        int want;
        bool slowerEnabled, fasterEnabled;
    };
    const Row rows[] = {
        {cmd::Slower, 30, true, true},     {cmd::Slower, 25, false, true}, {cmd::Slower, 25, false, true},
        {cmd::NormalSpeed, 100, true, true}, {cmd::Faster, 105, true, true},
    };
    for (const Row& row : rows) {
        command(row.command)->trigger();
        EXPECT_EQ(box->value(), row.want) << row.command;
        EXPECT_EQ(app.practice().speed.load(), row.want);
        EXPECT_EQ(get("Speed"), QString::number(row.want));
        EXPECT_EQ(command(cmd::Slower)->isEnabled(), row.slowerEnabled) << row.want;
        EXPECT_EQ(command(cmd::Faster)->isEnabled(), row.fasterEnabled) << row.want;
    }
    box->setValue(200);
    EXPECT_FALSE(command(cmd::Faster)->isEnabled());
    box->setValue(100);
    EXPECT_TRUE(pane->isHidden()) << "the written speed needs no pane";
    EXPECT_FALSE(command(cmd::NormalSpeed)->isEnabled());
}

TEST_F(PracticeCommandsTest, MetronomeIsRemembered)
{
    set("Metronome", "1");
    ASSERT_TRUE(start(kShortPiece));
    EXPECT_TRUE(command(cmd::Metronome)->isChecked());
    EXPECT_TRUE(app.practice().metronome.load());
    command(cmd::Metronome)->trigger();
    EXPECT_FALSE(app.practice().metronome.load());
    EXPECT_EQ(get("Metronome"), "0");
}

TEST_F(PracticeCommandsTest, LoopNeedsTwoSelectedRowsAndUntiedViewsAndKeepsTheSelection)
{
    CZolvaView* view = start(kShortPiece);
    ASSERT_TRUE(view);
    QAction* loop = command(cmd::LoopSelection);
    struct Row {
        int anchor, end; // -1: none
        bool tied;
        bool enabled;
    };
    const Row rows[] = {
        {-1, -1, false, false}, {1, 1, false, false}, {1, 2, false, true}, {3, 1, false, true}, {1, 2, true, false},
    };
    for (const Row& row : rows) {
        view->cursor().selectionAnchor = row.anchor < 0 ? nullptr : element(view, row.anchor);
        view->cursor().selectionEnd = row.end < 0 ? nullptr : element(view, row.end);
        if (command(cmd::TieViews)->isChecked() != row.tied)
            command(cmd::TieViews)->trigger();
        frame()->updateCommands();
        EXPECT_EQ(loop->isEnabled(), row.enabled) << row.anchor << "-" << row.end << " tied " << row.tied;
    }
    command(cmd::TieViews)->trigger();
    view->cursor().selectionAnchor = element(view, 1);
    view->cursor().selectionEnd = element(view, 2);
    frame()->updateCommands();
    loop->trigger();
    ASSERT_TRUE(loop->isChecked());
    command(cmd::PlayView)->trigger();
    ASSERT_TRUE(view->isPlaying());
    EXPECT_EQ(view->cursor().element.load(), element(view, 1)) << "the row played first, before any sound";
    // Round and round: the two selected notes (keys 60 and 64) until Stop.
    QTRY_VERIFY_WITH_TIMEOUT(soundedKeys().size() >= 6, 5000);
    EXPECT_TRUE(view->isPlaying());
    const std::vector<int> keys = soundedKeys();
    EXPECT_EQ(std::vector<int>(keys.begin(), keys.begin() + 6), (std::vector<int>{60, 64, 60, 64, 60, 64}));
    EXPECT_EQ(view->cursor().selectionAnchor, element(view, 1));
    command(cmd::StopPlaying)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!view->isPlaying(), 3000);
}

TEST_F(PracticeCommandsTest, PassAndPositionShowWhilePlayingOnly)
{
    // Bar 1 opens a section of one 100 ms note that repeats until Stop.
    CZolvaView* view = start("<Bar Tempo=\"600\" Modifier=\"OpenRepeat\"/><Note Value=\"4\" Tines=\"9\"/>"
                             "<Bar Modifier=\"CloseRepeat\" RepeatCount=\"0\"/><Note Value=\"4\" Tines=\"9\"/>");
    ASSERT_TRUE(view);
    XPxmlNode* close = element(view, 2);
    const QLabel* pane = frame()->statusBar()->findChild<QLabel*>("PositionPane");
    ASSERT_TRUE(pane);
    EXPECT_TRUE(pane->isHidden());
    command(cmd::PlayView)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(close->getAttribute("~Pass") && QByteArray(close->getAttribute("~Pass")) == "3", 3000);
    EXPECT_FALSE(pane->isHidden());
    EXPECT_EQ(pane->text(), QStringLiteral("Bar 1 \u00B7 0:00"));
    command(cmd::StopPlaying)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!view->isPlaying(), 3000);
    EXPECT_EQ(close->getAttribute("~Pass"), nullptr);
    EXPECT_TRUE(pane->isHidden());
}

} // namespace
