// Play and Stop from the main window's commands: a view plays its document on
// its own thread through the MIDI output, its cursor follows and comes home,
// Stop is prompt, and a view may close in the middle of playing.
#include "app_fixture.h"

#include "app/command_table.h"
#include "app/view_player.h"
#include "play/midi_session.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

// Three short notes: 100 ms each.
const char* const kShortPiece = "<Bar Tempo=\"600\"/><Note Value=\"4\" Tines=\"9\"/><Note Value=\"4\" Tines=\"10\"/>"
                                "<Note Value=\"4\" Tines=\"8\"/>";
// A short note, then one of eight seconds.
const char* const kLongPiece = "<Bar Tempo=\"30\"/><Note Value=\"16\" Tines=\"9\"/><Note Value=\"1\" Tines=\"10\"/>"
                               "<Note Value=\"1\" Tines=\"8\"/>";

using PlayCommandsTest = AppTest;

TEST_F(PlayCommandsTest, PlayKeySoundsThePieceAndTheCursorComesHome)
{
    CZolvaView* view = start(kShortPiece);
    ASSERT_TRUE(view);
    XPxmlNode* home = element(view, 2);
    view->cursor().element.store(home);
    view->cursor().selectionAnchor = home;
    view->cursor().selectionEnd = element(view, 3);
    EXPECT_TRUE(command(cmd::PlayView)->isEnabled());
    EXPECT_FALSE(command(cmd::StopView)->isEnabled());

    frame()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame()));
    QTest::keyClick(view, Qt::Key_P);
    EXPECT_TRUE(view->isPlaying());
    EXPECT_EQ(view->cursor().selectionAnchor, nullptr);
    EXPECT_EQ(view->cursor().selectionEnd, nullptr);
    // While it plays, Play waits and both Stops are offered.
    EXPECT_FALSE(command(cmd::PlayView)->isEnabled());
    EXPECT_FALSE(command(cmd::PlayAll)->isEnabled());
    EXPECT_TRUE(command(cmd::StopView)->isEnabled());
    EXPECT_TRUE(command(cmd::StopPlaying)->isEnabled());

    QTRY_VERIFY_WITH_TIMEOUT(!view->isPlaying(), 5000);
    // From the cursor on: the notes of tines 10 and 8 (keys 64 and 62), not the first.
    EXPECT_EQ(soundedKeys(), (std::vector<int>{64, 62}));
    EXPECT_EQ(view->cursor().element.load(), home);
    EXPECT_TRUE(command(cmd::PlayView)->isEnabled());
    EXPECT_FALSE(command(cmd::StopPlaying)->isEnabled());
    EXPECT_TRUE(frame()->playDelayBox()->isEnabled());

    // Closing a view that played and ended leaves the output alone.
    const size_t outputs = devices.opened.size();
    QPointer<CChildFrame> child = frame()->activeChild();
    child->close();
    QTRY_VERIFY_WITH_TIMEOUT(child.isNull(), 3000);
    EXPECT_EQ(devices.opened.size(), outputs);
    EXPECT_FALSE(devices.opened.back()->isClosed());
}

// One Stop stops every tied view at once, even while the output takes its
// time to close: the views are idle when the command returns, and the
// output is closed and opened once for them all.
TEST_F(PlayCommandsTest, TiedViewsStopTogetherWithOneSlowRestart)
{
    CZolvaView* first = start(kLongPiece);
    ASSERT_TRUE(first);
    std::vector<CZolvaView*> views{first};
    for (int i = 0; i < 2; ++i) {
        command(cmd::WindowNew)->trigger();
        views.push_back(frame()->activeChild()->view());
    }
    command(cmd::TieViews)->setChecked(true);
    command(cmd::PlayAll)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(std::all_of(views.begin(), views.end(), [](CZolvaView* v) { return v->isPlaying(); }),
                             1000);
    const size_t outputs = devices.opened.size();
    devices.whileClosing = [] { std::this_thread::sleep_for(std::chrono::milliseconds(500)); };
    QElapsedTimer timer;
    timer.start();
    command(cmd::StopPlaying)->trigger();
    EXPECT_LT(timer.elapsed(), 250) << "the close goes on on the session's thread";
    for (CZolvaView* view : views)
        EXPECT_FALSE(view->isPlaying());
    app.midi().waitForOutput();
    EXPECT_EQ(devices.opened.size(), outputs + 1);
}

TEST_F(PlayCommandsTest, TheCountInShowsInTheBoxWhichGetsItsValueBack)
{
    set("PlayDelay", "2");
    CZolvaView* view = start(kShortPiece);
    ASSERT_TRUE(view);
    QLineEdit* box = frame()->playDelayBox();
    QSignalSpy shown(box, &QLineEdit::textChanged);
    command(cmd::PlayView)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!box->isEnabled(), 1000);
    EXPECT_TRUE(soundedKeys().empty());
    QTRY_VERIFY_WITH_TIMEOUT(!view->isPlaying(), 6000);
    QStringList texts;
    for (const QList<QVariant>& change : shown)
        texts << change.at(0).toString();
    // Each second left, then the start value (the closing "0" shows no change).
    EXPECT_EQ(texts, (QStringList{"1", "0", "2"}));
    EXPECT_TRUE(box->isEnabled());
    EXPECT_EQ(get("PlayDelay"), "2");
    EXPECT_EQ(soundedKeys().size(), 3u);
}

TEST_F(PlayCommandsTest, PlayOfTheWholeProgramPlaysTheActiveViewWhenUntied)
{
    CZolvaView* view = start(kShortPiece);
    ASSERT_TRUE(view);
    command(cmd::PlayAll)->trigger();
    EXPECT_FALSE(view->isPlaying()) << "posted, not called";
    QTRY_VERIFY_WITH_TIMEOUT(view->isPlaying(), 1000);
    QTRY_VERIFY_WITH_TIMEOUT(!view->isPlaying(), 5000);
    EXPECT_EQ(soundedKeys(), (std::vector<int>{60, 64, 62}));
}

TEST_F(PlayCommandsTest, PlayOfTheWholeProgramPlaysEveryTiedView)
{
    CZolvaView* first = start(kShortPiece);
    ASSERT_TRUE(first);
    command(cmd::WindowNew)->trigger();
    CZolvaView* second = frame()->activeChild()->view();
    ASSERT_NE(first, second);
    command(cmd::TieViews)->setChecked(true);
    command(cmd::PlayAll)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(first->isPlaying() && second->isPlaying(), 1000);
    QTRY_VERIFY_WITH_TIMEOUT(!first->isPlaying() && !second->isPlaying(), 5000);
    std::vector<int> keys = soundedKeys();
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys, (std::vector<int>{60, 60, 62, 62, 64, 64}));
}

TEST_F(PlayCommandsTest, BothStopsEndPlayingPromptlyAndLeaveTheCursorWhereItWas)
{
    for (int stopId : {cmd::StopView, cmd::StopPlaying}) {
        SCOPED_TRACE(stopId);
        CZolvaView* view = start(kLongPiece);
        ASSERT_TRUE(view);
        XPxmlNode* longNote = element(view, 2);
        const size_t outputs = devices.opened.size();
        command(cmd::PlayView)->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(view->cursor().element.load(), longNote, 3000);

        QElapsedTimer timer;
        timer.start();
        command(stopId)->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!view->isPlaying(), 2000);
        EXPECT_LT(timer.elapsed(), 2000);
        EXPECT_TRUE(command(cmd::PlayView)->isEnabled());
        EXPECT_FALSE(command(stopId)->isEnabled());
        // The output was closed, cutting off the ringing note, and opened anew
        // on the session's own thread.
        app.midi().waitForOutput();
        ASSERT_EQ(devices.opened.size(), outputs + 1);
        EXPECT_TRUE(devices.opened[outputs - 1]->isClosed());
        QTest::qWait(100); // what the thread posted last arrives
        EXPECT_EQ(view->cursor().element.load(), longNote);
        EXPECT_TRUE(frame()->playDelayBox()->isEnabled());
        frame()->close();
        QTest::qWait(10);
    }
}

TEST_F(PlayCommandsTest, AViewClosedWhilePlayingGoesQuietlyAndTheBoxComesBack)
{
    set("PlayDelay", "5");
    for (bool countingIn : {true, false}) {
        SCOPED_TRACE(countingIn);
        CZolvaView* view = start(kLongPiece);
        ASSERT_TRUE(view);
        QPointer<CChildFrame> child = frame()->activeChild();
        frame()->playDelayBox()->setText(countingIn ? "5" : "0");
        command(cmd::PlayView)->trigger();
        if (countingIn)
            QTRY_VERIFY_WITH_TIMEOUT(!frame()->playDelayBox()->isEnabled(), 2000);
        else
            QTRY_VERIFY_WITH_TIMEOUT(!soundedKeys().empty(), 2000);
        const size_t outputs = devices.opened.size();
        child->close();
        QTRY_VERIFY_WITH_TIMEOUT(child.isNull(), 3000);
        // What still rang is cut off: the output is closed and opened anew.
        app.midi().waitForOutput();
        ASSERT_EQ(devices.opened.size(), outputs + 1);
        EXPECT_TRUE(devices.opened[outputs - 1]->isClosed());
        QTest::qWait(300);
        // The count-in's start value is back in an enabled box.
        EXPECT_TRUE(frame()->playDelayBox()->isEnabled());
        EXPECT_EQ(frame()->playDelayBox()->text(), countingIn ? "5" : "0");
        EXPECT_FALSE(command(cmd::StopPlaying)->isEnabled());
        frame()->close();
        QTest::qWait(10);
    }
}

// Closing a playing window stops its thread, whose last calls are then on
// their way, and reopens the output; a message box about a reopening that
// fails runs events. None of those calls may reach the view that is going.
TEST_F(PlayCommandsTest, AWindowClosedWhilePlayingOutlivesAnOutputThatCannotReopen)
{
    CZolvaView* view = start(kLongPiece);
    ASSERT_TRUE(view);
    QPointer<CChildFrame> child = frame()->activeChild();
    command(cmd::PlayView)->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(view->cursor().element.load(), element(view, 2), 3000);
    devices.failing.insert(MidiSession::kDefaultDevice);
    sink.whileShowing = [] {
        QEventLoop loop;
        QTimer::singleShot(50, &loop, &QEventLoop::quit);
        loop.exec();
    };
    child->close();
    QTRY_VERIFY_WITH_TIMEOUT(child.isNull(), 3000);
    QTRY_VERIFY_WITH_TIMEOUT(!sink.messages.empty(), 3000);
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Unable to open MIDI Output.\n"});
    EXPECT_FALSE(command(cmd::StopPlaying)->isEnabled());
}

// Counts the calls posted to an object as they are delivered.
struct PostedCalls : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        count += event->type() == QEvent::MetaCall;
        return false;
    }
};

// Notes faster than the window runs its events: what the thread says waits
// merged in one call, and once Stop returns the cursor stays put.
TEST_F(PlayCommandsTest, FastNotesKeepOneCallWaitingAndStopLeavesTheCursorStill)
{
    using namespace std::chrono_literals;
    std::string sixteenths = "<Bar Tempo=\"1500\"/>"; // 10 ms each
    for (int i = 0; i < 300; ++i)
        sixteenths += i % 2 ? "<Note Value=\"16\" Tines=\"9\"/>" : "<Note Value=\"16\" Tines=\"10\"/>";
    CZolvaView* view = start(sixteenths);
    ASSERT_TRUE(view);
    command(cmd::PlayView)->trigger();
    ViewPlayer* player = ViewPlayer::of(*view);
    ASSERT_TRUE(player);
    PostedCalls calls;
    player->installEventFilter(&calls);

    std::this_thread::sleep_for(300ms); // a slow paint: no events run
    QCoreApplication::sendPostedEvents(player, QEvent::MetaCall);
    EXPECT_EQ(calls.count, 1);
    EXPECT_NE(view->cursor().element.load(), element(view, 0)) << "the cursor follows";

    std::this_thread::sleep_for(200ms);
    command(cmd::StopView)->trigger();
    ASSERT_FALSE(view->isPlaying());
    XPxmlNode* stoppedAt = view->cursor().element.load();
    QTest::qWait(100);
    EXPECT_EQ(view->cursor().element.load(), stoppedAt);
}

} // namespace
