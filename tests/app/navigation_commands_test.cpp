// Moving through a piece in the real windows: keys and clicks on a view move
// its cursor and selection and sound where they land; the application's Play,
// Stop Playing, Home and End reach the active view, or every view of every
// document while the views are tied.
#include "app_fixture.h"

#include "app/command_table.h"
#include "play/tied_views.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>

#include <algorithm>

namespace {

// The key of tine 1, 2 … 17 in the test files.
constexpr int kKeys[] = {86, 83, 79, 76, 72, 69, 65, 62, 60, 64, 67, 71, 74, 77, 81, 84, 88};
int keyOf(int tine) { return kKeys[tine - 1]; }

// An opening bar, count notes, note i on tine i % 17 + 1 (note 3 is a chord of
// tines 4 and 6), and the closing bar layout adds. Measures are long, so that
// note i is element i + 1 while there are fewer than 64 quarters.
std::string notes(int count, const char* value = "4")
{
    std::string text = "<Bar Timing=\"M64/4\" Tempo=\"120\"/>";
    for (int i = 0; i < count; ++i) {
        const std::string tines = i == 3 ? "4,6" : std::to_string(i % 17 + 1);
        text += std::string("<Note Value=\"") + value + "\" Tines=\"" + tines + "\"/>";
    }
    return text;
}

class NavigationTest : public AppTest {
protected:
    // Opens notes and forgets the opening preview.
    CZolvaView* startQuiet(const std::string& notes)
    {
        CZolvaView* view = start(notes);
        heard();
        return view;
    }
    static int indexOf(CZolvaView* view, const XPxmlNode* element)
    {
        int index = 0;
        for (XPxmlNode* node = view->document().firstEvent(); node; node = node->nextElementSibling(), ++index) {
            if (node == element)
                return index;
        }
        return -1;
    }
    static int cursorIndex(CZolvaView* view) { return indexOf(view, view->cursor().element.load()); }
    static int lastIndex(CZolvaView* view) { return indexOf(view, view->document().lastEvent()); }
    // The keys of element's tines, lowest first: what a preview of it sounds.
    static std::vector<int> chordOf(const XPxmlNode* element)
    {
        const char* tines = element ? element->getAttribute("Tines") : nullptr;
        std::vector<int> keys;
        for (const QString& tine : QString(tines ? tines : "").split(',', Qt::SkipEmptyParts))
            keys.push_back(keyOf(tine.toInt()));
        std::sort(keys.begin(), keys.end());
        return keys;
    }
    static void put(CZolvaView* view, int index) { view->cursor().element.store(element(view, index)); }
    // The middle of lane tine (0-based) on element index's band, in window coordinates.
    static QPoint pointOn(CZolvaView* view, int index, int tine)
    {
        ViewLayout& layout = view->layout();
        const ViewLayout::Band band = layout.EventBand(element(view, index), ViewLayout::Coordinates::Document);
        const int x = layout.TineX(tine) + layout.options().metrics.tineWidth / 2 -
                      view->horizontalScrollBar()->value();
        return QPoint(x, int(band.top + band.height / 2) - view->verticalScrollBar()->value());
    }
    static void click(CZolvaView* view, QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, at);
    }
    static bool wholeBandShows(CZolvaView* view, int index)
    {
        const ViewLayout::Band band =
            view->layout().EventBand(element(view, index), ViewLayout::Coordinates::Document);
        const int top = view->verticalScrollBar()->value();
        return band.top >= top && band.top + band.height <= top + view->viewport()->height();
    }
};

TEST_F(NavigationTest, OpeningPutsTheCursorOnTheFirstNoteAndSoundsIt)
{
    CZolvaView* view = start("<Note Value=\"4\" Tines=\"10,9\"/><Note Value=\"4\" Tines=\"2\"/>");
    ASSERT_TRUE(view);
    EXPECT_EQ(cursorIndex(view), 0);
    EXPECT_EQ(view->cursorTine(), 0);
    EXPECT_EQ(heard(), (std::vector<int>{60, 64})) << "the whole chord, lowest first";
    EXPECT_FALSE(view->document().isModified());
}

TEST_F(NavigationTest, KeysMoveTheCursorAndSoundWhereItLands)
{
    CZolvaView* view = startQuiet(notes(6));
    ASSERT_TRUE(view);
    // Elements: 0 the opening bar, then note i at element i + 1.
    struct Step {
        Qt::Key key;
        int element;
        int tine;
        std::vector<int> sounds;
    };
    const Step steps[] = {
        {Qt::Key_Down, 0, 0, {}},                     // nothing before the first element
        {Qt::Key_Left, 0, 0, {}},                     // nothing left of column 0
        {Qt::Key_Up, 1, 0, {keyOf(1)}},               // a new element: its note
        {Qt::Key_Right, 1, 1, {keyOf(2)}},            // a new column: that tine alone
        {Qt::Key_Up, 2, 1, {keyOf(2)}},
        {Qt::Key_Up, 3, 1, {keyOf(3)}},
        {Qt::Key_Up, 4, 1, {keyOf(6), keyOf(4)}},     // a chord, lowest key first
        {Qt::Key_Left, 4, 0, {keyOf(1)}},
        {Qt::Key_End, 7, 0, {}},                      // the closing bar sounds nothing
        {Qt::Key_Up, 7, 0, {}},                       // nothing after the last element
        {Qt::Key_Down, 6, 0, {keyOf(6)}},
        {Qt::Key_Home, 0, 0, {}},
        {Qt::Key_Down, 0, 0, {}},
        {Qt::Key_A, 0, 0, {}},                        // not a key of ours
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(QKeySequence(step.key).toString().toStdString());
        QTest::keyClick(view, step.key);
        EXPECT_EQ(cursorIndex(view), step.element);
        EXPECT_EQ(view->cursorTine(), step.tine);
        EXPECT_EQ(heard(), step.sounds);
    }

    // Right stops at the last of the 17 columns.
    for (int i = 0; i < 16; ++i)
        QTest::keyClick(view, Qt::Key_Right);
    EXPECT_EQ(view->cursorTine(), 16);
    heard();
    QTest::keyClick(view, Qt::Key_Right);
    EXPECT_EQ(view->cursorTine(), 16);
    EXPECT_EQ(heard(), std::vector<int>{});
}

TEST_F(NavigationTest, ShiftExtendsTheSelectionAndAPlainKeyDropsIt)
{
    CZolvaView* view = startQuiet(notes(10));
    ASSERT_TRUE(view);
    ViewCursor& cursor = view->cursor();
    put(view, 2);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(view, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(cursorIndex(view), 5);
    EXPECT_EQ(indexOf(view, cursor.selectionAnchor), 2);
    EXPECT_EQ(indexOf(view, cursor.selectionEnd), 5);

    // Back down past the anchor: the anchor stays where the selection began.
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(indexOf(view, cursor.selectionAnchor), 2);
    EXPECT_EQ(indexOf(view, cursor.selectionEnd), 1);
    QTest::keyClick(view, Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(indexOf(view, cursor.selectionAnchor), 2);
    EXPECT_EQ(indexOf(view, cursor.selectionEnd), 11);

    QTest::keyClick(view, Qt::Key_Down);
    EXPECT_EQ(cursor.selectionAnchor, nullptr);
    EXPECT_EQ(cursor.selectionEnd, nullptr);

    // The Shift key itself is followed from its press to its release.
    QTest::keyPress(view, Qt::Key_Shift);
    EXPECT_TRUE(view->shiftDown());
    QTest::keyRelease(view, Qt::Key_Shift);
    EXPECT_FALSE(view->shiftDown());
}

TEST_F(NavigationTest, ClicksMoveTheCursorByWhatTheyHit)
{
    CZolvaView* view = startQuiet(notes(10));
    ASSERT_TRUE(view);
    ViewCursor& cursor = view->cursor();
    put(view, 1);
    QTest::keyClick(view, Qt::Key_Up, Qt::ShiftModifier);
    QTest::keyClick(view, Qt::Key_Up, Qt::ShiftModifier);
    heard();

    // Shift+click: the selection runs from the old cursor, not the old anchor.
    click(view, pointOn(view, 6, 4), Qt::ShiftModifier);
    EXPECT_EQ(cursorIndex(view), 6);
    EXPECT_EQ(view->cursorTine(), 4);
    EXPECT_EQ(indexOf(view, cursor.selectionAnchor), 3);
    EXPECT_EQ(indexOf(view, cursor.selectionEnd), 6);
    EXPECT_EQ(heard(), std::vector<int>{keyOf(6)}) << "the element's note, not the tine clicked";

    // Another column of the same element: silent.
    click(view, pointOn(view, 6, 9));
    EXPECT_EQ(view->cursorTine(), 9);
    EXPECT_EQ(cursor.selectionAnchor, nullptr);
    EXPECT_EQ(heard(), std::vector<int>{});

    // Right of the last lane: the element changes, the column stays.
    QPoint beyond = pointOn(view, 4, 0);
    beyond.setX(view->layout().TineX(17) + 2 - view->horizontalScrollBar()->value());
    click(view, beyond);
    EXPECT_EQ(cursorIndex(view), 4);
    EXPECT_EQ(view->cursorTine(), 9);
    EXPECT_EQ(heard(), (std::vector<int>{keyOf(6), keyOf(4)}));

    // Left of the lanes: the selection goes, the cursor stays.
    QTest::keyClick(view, Qt::Key_Up, Qt::ShiftModifier);
    QPoint outside = pointOn(view, 2, 0);
    outside.setX(view->layout().TineX(0) - 2 - view->horizontalScrollBar()->value());
    click(view, outside);
    EXPECT_EQ(cursorIndex(view), 5);
    EXPECT_EQ(cursor.selectionAnchor, nullptr);

    // A double click acts as a click.
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, pointOn(view, 2, 3));
    EXPECT_EQ(cursorIndex(view), 2);
    EXPECT_EQ(view->cursorTine(), 3);
}

TEST_F(NavigationTest, TheButtonIsFollowedUntilItIsUpOrSeenUp)
{
    CZolvaView* view = startQuiet(notes(4));
    ASSERT_TRUE(view);
    QWidget* area = view->viewport();
    const QPoint at = pointOn(view, 1, 0);
    QTest::mousePress(area, Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_TRUE(view->buttonDown());
    QTest::mouseRelease(area, Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_FALSE(view->buttonDown());

    // Released where the view could not see it: the next move tells.
    QTest::mousePress(area, Qt::LeftButton, Qt::NoModifier, at);
    QMouseEvent moved(QEvent::MouseMove, at + QPoint(3, 3), area->mapToGlobal(at + QPoint(3, 3)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(area, &moved);
    EXPECT_FALSE(view->buttonDown());
    QTest::mouseRelease(area, Qt::LeftButton, Qt::NoModifier, at);
}

TEST_F(NavigationTest, PageUpAndPageDownGoAboutAScreenAtATime)
{
    CZolvaView* view = startQuiet(notes(200, "8"));
    ASSERT_TRUE(view);
    // The run of wholly visible elements as the window now shows them.
    auto visibleRun = [&] {
        std::vector<int> run;
        for (int i = 0; element(view, i); ++i) {
            if (wholeBandShows(view, i))
                run.push_back(i);
            else if (!run.empty())
                break;
        }
        return run;
    };
    const std::vector<int> before = visibleRun();
    ASSERT_GT(before.size(), 3u);
    QTest::keyClick(view, Qt::Key_PageUp);
    const int landed = before.back() + int(before.size()) - 1;
    EXPECT_EQ(cursorIndex(view), landed);
    EXPECT_TRUE(wholeBandShows(view, landed));
    EXPECT_EQ(heard(), chordOf(element(view, landed)));

    const std::vector<int> now = visibleRun();
    QTest::keyClick(view, Qt::Key_PageDown);
    EXPECT_EQ(cursorIndex(view), std::max(0, now.front() - int(now.size()) + 1));
    EXPECT_TRUE(wholeBandShows(view, cursorIndex(view)));

    // At the top of the piece the run reaches the end: Page Up stays.
    QTest::keyClick(view, Qt::Key_End);
    QTest::keyClick(view, Qt::Key_PageUp);
    EXPECT_EQ(cursorIndex(view), lastIndex(view));
}

TEST_F(NavigationTest, MutedKeysAndClicksMoveSilently)
{
    set("Mute", "1");
    CZolvaView* view = start(notes(6));
    ASSERT_TRUE(view);
    QTest::keyClick(view, Qt::Key_Up);
    QTest::keyClick(view, Qt::Key_Right);
    QTest::keyClick(view, Qt::Key_End);
    click(view, pointOn(view, 3, 2));
    EXPECT_EQ(cursorIndex(view), 3);
    EXPECT_EQ(view->cursorTine(), 2);
    EXPECT_EQ(heard(), std::vector<int>{});
}

TEST_F(NavigationTest, WhilePlayingOnlyShiftPAndShiftSActAndTheyStop)
{
    for (Qt::Key key : {Qt::Key_P, Qt::Key_S}) {
        SCOPED_TRACE(QKeySequence(key).toString().toStdString());
        CZolvaView* view = start(notes(3, "1"));
        ASSERT_TRUE(view);
        put(view, 1);
        command(cmd::PlayView)->trigger();
        ASSERT_TRUE(view->isPlaying());
        QTRY_COMPARE_WITH_TIMEOUT(cursorIndex(view), 1, 1000);
        heard();
        QTest::keyClick(view, Qt::Key_Home);
        click(view, pointOn(view, 3, 3));
        EXPECT_EQ(cursorIndex(view), 1) << "the keys and the mouse are the music's now";
        QTest::keyClick(view, key, Qt::ShiftModifier);
        QTRY_VERIFY_WITH_TIMEOUT(!view->isPlaying(), 3000);
        frame()->close();
        QTest::qWait(10);
    }
}

// Keys held with Ctrl, Alt or Meta belong to the commands, enabled or not,
// and a held P or S never toggles between playing and stopped.
TEST_F(NavigationTest, ModifiedAndRepeatedKeysNeverPlayOrStop)
{
    struct Row {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool repeat;
        bool playing; // before the key, and still after it
    };
    const Row rows[] = {
        {Qt::Key_P, Qt::ControlModifier, false, false}, // Print, disabled
        {Qt::Key_P, Qt::AltModifier, false, false},
        {Qt::Key_P, Qt::MetaModifier, false, false},
        {Qt::Key_S, Qt::ControlModifier, false, true},
        {Qt::Key_S, Qt::AltModifier, false, true},
        {Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier, false, false},
        {Qt::Key_P, Qt::NoModifier, true, false},
        {Qt::Key_P, Qt::NoModifier, true, true},
        {Qt::Key_S, Qt::NoModifier, true, true},
        {Qt::Key_P, Qt::ShiftModifier, true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(QKeySequence(row.key | row.modifiers).toString().toStdString() + (row.repeat ? " repeated" : ""));
        CZolvaView* view = start(notes(3, "1"));
        ASSERT_TRUE(view);
        if (row.playing) {
            command(cmd::PlayView)->trigger();
            QTRY_VERIFY_WITH_TIMEOUT(view->isPlaying(), 1000);
        }
        const QString text = row.modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)
                                 ? QString()
                                 : QKeySequence(row.key).toString().toLower();
        QTest::simulateEvent(view, true, row.key, row.modifiers, text, row.repeat);
        QTest::simulateEvent(view, false, row.key, row.modifiers, text, row.repeat);
        QTest::qWait(50);
        EXPECT_EQ(view->isPlaying(), row.playing);
        frame()->close();
        QTest::qWait(10);
    }
}

// Two documents with two windows each.
class TiedViewsTest : public NavigationTest {
protected:
    bool openFour(const std::string& piece)
    {
        if (!start(piece))
            return false;
        command(cmd::WindowNew)->trigger();
        if (!open("other.zvm", piece))
            return false;
        command(cmd::WindowNew)->trigger();
        for (CChildFrame* frame : frame()->documents().viewsByDocument())
            views.push_back(frame->view());
        return views.size() == 4;
    }
    int playingCount() const
    {
        return int(std::count_if(views.begin(), views.end(), [](CZolvaView* v) { return v->isPlaying(); }));
    }
    std::vector<CZolvaView*> views;
};

TEST_F(TiedViewsTest, TiedViewsPlayStopAndJumpTogether)
{
    ASSERT_TRUE(openFour(notes(8, "2")));
    command(cmd::TieViews)->trigger();
    EXPECT_TRUE(app.tieViews());
    EXPECT_TRUE(command(cmd::TieViews)->isChecked());

    command(cmd::PlayAll)->trigger();
    EXPECT_EQ(app.tiedViews().viewCount(), 4);
    EXPECT_EQ(playingCount(), 0) << "posted, not called";
    QTRY_COMPARE_WITH_TIMEOUT(playingCount(), 4, 2000);
    EXPECT_FALSE(command(cmd::PlayAll)->isEnabled());
    EXPECT_TRUE(command(cmd::StopPlaying)->isEnabled());

    command(cmd::StopPlaying)->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(playingCount(), 0, 4000);

    command(cmd::End)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(
        std::all_of(views.begin(), views.end(), [](CZolvaView* v) { return cursorIndex(v) == lastIndex(v); }), 1000);
    command(cmd::Home)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(std::all_of(views.begin(), views.end(), [](CZolvaView* v) { return cursorIndex(v) == 0; }),
                             1000);
}

TEST_F(TiedViewsTest, UntiedCommandsAndThePKeyReachOnlyTheActiveView)
{
    ASSERT_TRUE(openFour(notes(8, "2")));
    CZolvaView* active = frame()->activeChild()->view();
    command(cmd::End)->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(cursorIndex(active), lastIndex(active), 1000);
    for (CZolvaView* view : views)
        EXPECT_EQ(cursorIndex(view), view == active ? lastIndex(view) : 0);

    put(active, 1); // eight seconds of music ahead
    command(cmd::PlayAll)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(active->isPlaying(), 1000);
    QTest::qWait(50);
    EXPECT_EQ(playingCount(), 1);
    command(cmd::StopPlaying)->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(playingCount(), 0, 3000);

    // P plays the active view even when the views are tied.
    command(cmd::TieViews)->trigger();
    frame()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame()));
    QTest::keyClick(active, Qt::Key_P);
    QTRY_VERIFY_WITH_TIMEOUT(active->isPlaying(), 1000);
    QTest::qWait(50);
    EXPECT_EQ(playingCount(), 1);

    // Stop Playing reaches the playing view also from another window.
    frame()->mdiArea()->setActiveSubWindow(frame()->documents().viewsByDocument().front());
    command(cmd::TieViews)->trigger();
    ASSERT_FALSE(app.tieViews());
    ASSERT_FALSE(frame()->activeChild()->view()->isPlaying());
    command(cmd::StopPlaying)->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(playingCount(), 0, 3000);
}

TEST_F(TiedViewsTest, ShiftPInAViewPlaysEveryTiedView)
{
    ASSERT_TRUE(openFour(notes(8, "2")));
    command(cmd::TieViews)->trigger();
    QTest::keyClick(views.front(), Qt::Key_P, Qt::ShiftModifier);
    QTRY_COMPARE_WITH_TIMEOUT(playingCount(), 4, 2000);
    command(cmd::StopPlaying)->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(playingCount(), 0, 4000);
}

TEST_F(TiedViewsTest, APlayingViewDropsAPostedHomeAndTheCommandsFollowTheirRules)
{
    // Nothing open: nothing to act on.
    ASSERT_TRUE(app.StartUp({}));
    for (int id : {cmd::Home, cmd::End, cmd::PlayAll, cmd::StopPlaying, cmd::TieViews})
        EXPECT_FALSE(command(id)->isEnabled()) << id;
    frame()->close();

    CZolvaView* view = start(notes(3, "1"));
    ASSERT_TRUE(view);
    for (int id : {cmd::Home, cmd::End, cmd::PlayAll, cmd::TieViews})
        EXPECT_TRUE(command(id)->isEnabled()) << id;
    put(view, 2);
    command(cmd::PlayView)->trigger();
    ASSERT_TRUE(view->isPlaying());
    app.OnViewCommand(*view, cmd::ViewHome);
    app.OnViewCommand(*view, cmd::ViewEnd);
    EXPECT_EQ(cursorIndex(view), 2);
    app.OnViewCommand(*view, cmd::StopView);
    EXPECT_FALSE(view->isPlaying());
    app.OnViewCommand(*view, cmd::StopView); // not playing: dropped
    app.OnViewCommand(*view, cmd::ViewEnd);
    EXPECT_EQ(cursorIndex(view), lastIndex(view));
}

// Two triplet marks that do not make a group count as triplets when the bars
// are first timed and lose their marks then: timing the bars again would
// move them.
const char* const kLoneTripletMarks =
    "<Bar Timing=\"M4/4\"/><Note Value=\"8\" Tuplet=\"F\" Tines=\"1\"/><Note Value=\"8\" Tuplet=\"F\" Tines=\"1\"/>"
    "<Note Value=\"4\" Tines=\"1\"/><Note Value=\"4\" Tines=\"2\"/><Note Value=\"4\" Tines=\"3\"/>"
    "<Note Value=\"4\" Tines=\"4\"/><Note Value=\"4\" Tines=\"5\"/><Note Value=\"4\" Tines=\"6\"/>"
    "<Note Value=\"4\" Tines=\"7\"/><Note Value=\"4\" Tines=\"8\"/>";

TEST_F(NavigationTest, ASecondWindowLeavesTheBarsUnderTheFirstOnesCursorAlone)
{
    CZolvaView* first = start(kLoneTripletMarks);
    ASSERT_TRUE(first);
    std::vector<XPxmlNode*> before;
    for (XPxmlNode* node = first->document().firstEvent(); node; node = node->nextElementSibling())
        before.push_back(node);
    ASSERT_EQ(before.size(), 13u);
    ASSERT_STREQ(before[7]->name(), "Bar");
    // The first window's cursor and selection on the bar a second timing would move.
    put(first, 7);
    first->cursor().selectionAnchor = before[7];
    first->cursor().selectionEnd = before[8];

    command(cmd::WindowNew)->trigger();
    ASSERT_NE(frame()->activeChild()->view(), first);
    std::vector<XPxmlNode*> after;
    for (XPxmlNode* node = first->document().firstEvent(); node; node = node->nextElementSibling())
        after.push_back(node);
    EXPECT_EQ(after, before);
    first->viewport()->repaint();
    QTest::keyClick(first, Qt::Key_Up);
    EXPECT_EQ(cursorIndex(first), 8);
}

} // namespace
