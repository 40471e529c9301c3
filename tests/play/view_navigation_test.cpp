#include "fake_midi_devices.h"
#include "music_fixture.h"
#include "recording_sink.h"

#include "play/chord_sender.h"
#include "play/midi_session.h"
#include "view/view_navigation.h"
#include "xml/xpxml_doc.h"

#include <QtCore/qnamespace.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using Keys = std::vector<int>;

// Tines 1 … 5 sound keys 60, 62, 64, 65 and 67.
const char* const kTines = "Number=\"5\" NoteValues=\"60,62,64,65,67\"";

std::string chord(const std::string& tines)
{
    return "<Note Value=\"4\" Tines=\"" + tines + "\"/>";
}

// Chords, a rest and two bars:
//   0 {1,3}  1 {2}  2 rest  3 {4,5}  4 {3}  5 bar  6 {1}  7 {5}  8 {2,4}  9 bar
const std::string kPiece = chord("1,3") + chord("2") + "<Rest Value=\"4\"/>" + chord("4,5") + chord("3") + bar() +
                           chord("1") + chord("5") + chord("2,4");
const char* const kPieceShape = "4 4 4 4 4 |A4/4 4 4 4 |A4/4";

// Six bars of single tines, 31 elements: a bar at every multiple of five.
const std::string kLongPiece = bar() + repeat(chord("1") + chord("2") + chord("3") + chord("4") + bar(), 6);
constexpr int kLongLast = 30;

struct NavigationTest : ::testing::Test {
    CleanSettings settings;
    RecordingSink sink;
    FakeMidiDevices devices;
    MidiSession session{sink, devices};
    std::unique_ptr<Music> music;
    std::unique_ptr<NavigationView> view;

    NavigationTest()
    {
        EXPECT_TRUE(session.OpenMidiOutput());
        session.readMute();
    }

    // Lays notes out with the whole document in the window.
    void load(const std::string& notes, const std::string& screen = "Tails=\"Minimal\"")
    {
        Music::Config config;
        config.tines = kTines;
        config.screen = screen;
        view.reset();
        music = std::make_unique<Music>(notes, config);
        music->layout.CheckAndRefresh(music->doc.firstEvent(), music->cursor);
        const QSize size = music->layout.ComputeExtent(true);
        music->layout.setViewport(0, size.height());
        view = std::make_unique<NavigationView>(
            NavigationView{music->layout, music->cursor, music->list(),
                           TineSound{midiPreview(&session, music->layout.options().tineKeys, music->doc.tineCount()), music->doc.tineCount()}});
    }

    XPxmlNode* at(int index) const { return index < 0 ? nullptr : music->at(index); }
    int indexOf(const XPxmlNode* element) const
    {
        for (int i = 0; element && at(i); ++i) {
            if (at(i) == element)
                return i;
        }
        return -1;
    }
    ViewLayout::Band band(int index) const
    {
        return music->layout.EventBand(at(index), ViewLayout::Coordinates::Document);
    }
    int64_t bottom(int index) const { return band(index).top + band(index).height; }
    int tineX(int tine) const { return music->layout.TineX(tine); }
    // A point inside lane tine, halfway down element index's band.
    QPoint pointOn(int index, int tine) const
    {
        return QPoint(tineX(tine) + 1, int(band(index).top + band(index).height / 2));
    }

    // Puts the cursor on element index in column tine, silently.
    void place(int index, int tine)
    {
        music->cursor.element = at(index);
        music->cursor.tine = tine;
    }
    // Where the window is in the document.
    struct Window {
        int64_t scrollY = 0;
        int64_t height = 0;
    };
    void show(Window window) { music->layout.setViewport(int(window.scrollY), int(window.height)); }
    // The window that shows elements low … high (low below) and nothing more.
    Window showing(int low, int high) const { return {band(high).top, bottom(low) - band(high).top}; }

    // The cursor as "element/column", then the selection as "[anchor..end]"
    // when there is one; "-" for no element.
    std::string state() const
    {
        auto name = [this](const XPxmlNode* element) {
            return element ? std::to_string(indexOf(element)) : std::string("-");
        };
        const ViewCursor& cursor = music->cursor;
        std::string out = name(cursor.element.load()) + "/" + std::to_string(cursor.tine);
        if (cursor.selectionAnchor || cursor.selectionEnd)
            out += " [" + name(cursor.selectionAnchor) + ".." + name(cursor.selectionEnd) + "]";
        return out;
    }

    // The keys sounded since the last call.
    Keys heard()
    {
        Keys keys;
        if (devices.opened.empty())
            return keys;
        const std::vector<RecordedMidiMessage> messages = devices.opened.back()->messages();
        for (size_t i = m_seen; i < messages.size(); ++i) {
            const MidiMessage m = messages[i].message;
            if ((midiStatus(m) & 0xF0) == 0x90 && midiData2(m) > 0)
                keys.push_back(midiData1(m));
        }
        m_seen = messages.size();
        return keys;
    }

    // A key press, or a click at a point, and what should follow from it.
    struct Step {
        Step(const char* name, int key, bool shift, KeyResult result, std::string state, Keys keys)
            : name(name), key(key), shift(shift), result(result), state(std::move(state)), keys(std::move(keys))
        {
        }
        Step(const char* name, QPoint point, bool shift, std::string state, Keys keys)
            : name(name), shift(shift), state(std::move(state)), keys(std::move(keys)), point(point)
        {
        }

        const char* name;
        int key = 0; // 0: a click
        bool shift = false;
        KeyResult result = KeyResult::Moved;
        std::string state;
        Keys keys;
        QPoint point;
    };
    void run(const std::vector<Step>& steps)
    {
        for (const Step& step : steps) {
            if (step.key)
                EXPECT_EQ(OnKeyDown(*view, step.key, step.shift), step.result) << step.name;
            else
                EXPECT_TRUE(OnLeftButtonDown(*view, step.point, step.shift)) << step.name;
            EXPECT_EQ(state(), step.state) << step.name;
            EXPECT_EQ(heard(), step.keys) << step.name;
        }
    }

    // Keys that leave the cursor and the selection as they are, and silent.
    struct KeyPress {
        int key;
        bool shift;
        KeyResult result;
    };
    void pressAll(const std::vector<KeyPress>& presses, const std::string& unchanged)
    {
        for (const KeyPress& press : presses) {
            EXPECT_EQ(OnKeyDown(*view, press.key, press.shift), press.result) << press.key;
            EXPECT_EQ(state(), unchanged) << press.key;
        }
        EXPECT_EQ(heard(), Keys{});
    }

private:
    size_t m_seen = 0;
};

TEST_F(NavigationTest, TheTestPieceLaysOutAsExpected)
{
    load(kPiece);
    EXPECT_EQ(music->describe(), kPieceShape);
    // Bottom-up: each element lies above the one before it; bands may touch.
    for (int i = 1; at(i); ++i)
        EXPECT_LE(bottom(i), band(i - 1).top) << i;
}

TEST_F(NavigationTest, FullyVisibleMeansTheWholeBandInsideTheWindow)
{
    load(kPiece);
    const int64_t top = band(3).top;
    const int64_t height = band(3).height;
    struct Row {
        const char* name;
        Window window;
        bool want;
    };
    const Row rows[] = {
        {"window exactly the band", {top, height}, true},
        {"top edge cut off", {top + 1, height}, false},
        {"bottom edge cut off", {top, height - 1}, false},
        {"window one higher", {top - 1, height}, false},
        {"window one higher and one taller", {top - 1, height + 1}, true},
        {"window far above", {0, top}, false},
        {"window far below", {bottom(3) + 1, 500}, false},
    };
    for (const Row& row : rows) {
        show(row.window);
        EXPECT_EQ(IsFullyVisible(music->layout, at(3)), row.want) << row.name;
    }
    EXPECT_FALSE(IsFullyVisible(music->layout, nullptr));
}

TEST_F(NavigationTest, TheVisibleRunStartsAtTheLowestWhollyVisibleElement)
{
    load(kLongPiece);
    struct Row {
        const char* name;
        Window window;
        int first, count; // first -1: no run
        int last;         // -1: none
    };
    const Window cut = showing(9, 12);
    const Row rows[] = {
        {"in the middle", showing(7, 12), 7, 5, 12},
        {"one element", showing(14, 14), 14, 0, 14},
        {"at the start of the list", showing(0, 3), 0, 3, 3},
        {"up to the end of the list", showing(26, kLongLast), 26, 4, -1},
        {"the whole list", showing(0, kLongLast), 0, kLongLast, -1},
        {"only the last element", showing(kLongLast, kLongLast), kLongLast, 0, -1},
        {"lowest element cut off", {cut.scrollY, cut.height - 1}, 10, 2, 12},
        {"highest element cut off", {cut.scrollY + 1, cut.height - 1}, 9, 2, 11},
        // Smaller than any band: parts of elements show, none wholly.
        {"window one pixel tall", {band(12).top + 1, 1}, -1, 0, -1},
        {"window inside a band", {band(12).top + 1, band(12).height - 2}, -1, 0, -1},
        {"window below the music", {bottom(0) + 1, 100}, -1, 0, -1},
    };
    for (const Row& row : rows) {
        show(row.window);
        const VisibleRun run = FindVisibleRun(music->layout, music->list());
        EXPECT_EQ(indexOf(run.first), row.first) << row.name;
        EXPECT_EQ(run.count, row.count) << row.name;
        EXPECT_EQ(indexOf(run.last), row.last) << row.name;
    }
}

TEST_F(NavigationTest, HitTestFindsTheElementAndTheLane)
{
    load(kPiece);
    const ViewLayout& layout = music->layout;
    const int x = tineX(2) + 3;
    const int y = int(band(4).top + 2);
    const int origin = int(layout.verticalOrigin());
    const int lanesEnd = tineX(5);
    struct Row {
        const char* name;
        QPoint point;
        HitCode code;
        int element; // -1: none
        int tine;    // the cursor's column is 4; -1: any
    };
    const Row rows[] = {
        {"above the top margin", {x, layout.lowestHitY() - 1}, HitCode::Nothing, -1, 4},
        {"in the bottom margin", {x, origin + 1}, HitCode::Nothing, -1, 4},
        {"left of the lanes", {tineX(0) - 1, y}, HitCode::Nothing, -1, 4},
        {"in a band", {x, y}, HitCode::Element, 4, 2},
        {"first lane's left edge", {tineX(0), y}, HitCode::Element, 4, 0},
        {"last pixel of a lane", {tineX(3) - 1, y}, HitCode::Element, 4, 2},
        {"next lane's left edge", {tineX(3), y}, HitCode::Element, 4, 3},
        {"last pixel of the last lane", {lanesEnd - 1, y}, HitCode::Element, 4, 4},
        {"right of the last lane", {lanesEnd, y}, HitCode::BeyondLanes, 4, -1},
        {"far right", {lanesEnd + 200, y}, HitCode::BeyondLanes, 4, -1},
        {"gap above a band belongs to it", {x, int(bottom(5) + 1)}, HitCode::Element, 4, 2},
        {"next element's lower edge", {x, int(bottom(5))}, HitCode::Element, 4, 2},
        {"just inside the next element", {x, int(bottom(5) - 1)}, HitCode::Element, 5, 2},
        {"own lower edge goes to the element below", {x, int(bottom(4))}, HitCode::Element, 3, 2},
        {"just above the own lower edge", {x, int(bottom(4) - 1)}, HitCode::Element, 4, 2},
        {"top edge of the highest element", {x, int(band(9).top)}, HitCode::Element, 9, 2},
        {"lowest point of the tablature", {x, origin}, HitCode::Element, 0, 2},
    };
    // Points are in document coordinates: scrolling changes nothing.
    for (const int scrollY : {0, 120}) {
        music->layout.setViewport(scrollY, 100);
        for (const Row& row : rows) {
            const Hit hit = HitTest(layout, music->list(), 5, row.point, 4);
            EXPECT_EQ(hit.code, row.code) << row.name << " scrolled to " << scrollY;
            EXPECT_EQ(indexOf(hit.element), row.element) << row.name << " scrolled to " << scrollY;
            if (row.tine >= 0) {
                EXPECT_EQ(hit.tine, row.tine) << row.name << " scrolled to " << scrollY;
            }
        }
    }
}

TEST_F(NavigationTest, HitTestCountsLanesByTheirWidth)
{
    load(kPiece, "Tails=\"Minimal\" TineWidth=\"33\"");
    ASSERT_EQ(tineX(1) - tineX(0), 33);
    const int y = int(band(6).top + 1);
    struct Row {
        int x;
        HitCode code;
        int tine;
    };
    const Row rows[] = {
        {tineX(0) + 32, HitCode::Element, 0},
        {tineX(0) + 33, HitCode::Element, 1},
        {tineX(0) + 4 * 33 + 32, HitCode::Element, 4},
        {tineX(0) + 5 * 33, HitCode::BeyondLanes, -1},
    };
    for (const Row& row : rows) {
        const Hit hit = HitTest(music->layout, music->list(), 5, {row.x, y}, 0);
        EXPECT_EQ(hit.code, row.code) << row.x;
        EXPECT_EQ(hit.element, at(6)) << row.x;
        if (row.tine >= 0) {
            EXPECT_EQ(hit.tine, row.tine) << row.x;
        }
    }
}

// When bands do not rise along the list, a click on any row of any element
// still takes an element drawn on that row, and Page Up and Down still count
// from the first wholly visible element.
TEST_F(NavigationTest, UnorderedLayoutsClickAndPageByWhatIsDrawn)
{
    for (const UnorderedLayout& piece : unorderedLayouts()) {
        load(piece.notes, piece.screen);
        const ViewLayout& layout = music->layout;
        int64_t highest = INT64_MAX;
        int64_t lowest = INT64_MIN;
        for (int i = 0; at(i); ++i) {
            highest = std::min(highest, band(i).top);
            lowest = std::max(lowest, bottom(i));
            for (const int64_t y : {band(i).top, band(i).top + band(i).height / 2, bottom(i) - 1}) {
                const int hit = indexOf(HitTest(layout, music->list(), 5, QPoint(tineX(0) + 1, int(y)), 0).element);
                EXPECT_TRUE(hit >= 0 && band(hit).top <= y && y < bottom(hit))
                    << piece.name << ": row " << y << " of element " << i << " hits " << hit;
            }
        }
        for (int64_t scroll = highest - 100; scroll <= lowest; scroll += 11) {
            show({scroll, 150});
            int first = 0;
            while (at(first) && !IsFullyVisible(layout, at(first)))
                ++first;
            EXPECT_EQ(indexOf(FindVisibleRun(layout, music->list()).first), at(first) ? first : -1)
                << piece.name << " scrolled to " << scroll;
        }
    }
}

// Where bands overlap, a click on a head takes the note drawn there (the
// one drawn last where heads overlap); off the heads the row's rule holds:
// of the bands over it, the one whose lower edge is nearest.
TEST_F(NavigationTest, OverlappingRowsGiveAClickOnAHeadToItsNote)
{
    // Measures of no size: the second one's notes lie over the first one's.
    load(bar() + repeat(chord("1"), 4) + bar() + chord("1") + repeat(chord("3"), 3) + bar(),
         attr("Tails", "Minimal") + attr("MeasureSpacing", "Fixed") + attr("MeasureSpacingSize", "0") +
             attr("NoteSpacingSize", "0"));
    ASSERT_EQ(music->positions(), "8,8 18,10 28,10 38,10 48,10 24,16 34,10 44,10 54,10 64,10 40,16");
    const int64_t origin = music->layout.verticalOrigin();
    struct Row {
        const char* name;
        int lane;
        int64_t position; // rows count up from the origin
        int element;
    };
    const Row rows[] = {
        {"an earlier note's head under a nearer band", 0, 35, 3},
        {"the nearest band's own head", 2, 35, 7},
        {"off the heads: the nearest band", 1, 35, 7},
        {"a later note's head over a nearer band", 2, 41, 7},
        {"the nearest band's own head, lower down", 0, 41, 4},
        {"heads over one another: the one drawn last", 0, 31, 6},
        {"right of the lanes: the nearest band", 5, 35, 7},
    };
    const int halfLane = music->layout.options().metrics.tineWidth / 2;
    for (const Row& row : rows) {
        const QPoint point(tineX(row.lane) + halfLane, int(origin - row.position));
        EXPECT_EQ(indexOf(HitTest(music->layout, music->list(), 5, point, 0).element), row.element) << row.name;
    }
}

TEST_F(NavigationTest, ShiftUpSelectsFromWhereTheCursorStarted)
{
    load(kPiece);
    place(0, 2);
    run({
        {"first step", Qt::Key_Up, true, KeyResult::Moved, "1/2 [0..1]", {62}},
        {"onto a rest", Qt::Key_Up, true, KeyResult::Moved, "2/2 [0..2]", {}},
        {"third step", Qt::Key_Up, true, KeyResult::Moved, "3/2 [0..3]", {65, 67}},
        {"plain Up clears the selection", Qt::Key_Up, false, KeyResult::Moved, "4/2", {64}},
        {"onto a bar", Qt::Key_Up, false, KeyResult::Moved, "5/2", {}},
    });
}

TEST_F(NavigationTest, ShiftDownSelectsFromWhereTheCursorStarted)
{
    load(kPiece);
    place(8, 0);
    run({
        {"first step", Qt::Key_Down, true, KeyResult::Moved, "7/0 [8..7]", {67}},
        {"second step", Qt::Key_Down, true, KeyResult::Moved, "6/0 [8..6]", {60}},
        {"onto a bar", Qt::Key_Down, true, KeyResult::Moved, "5/0 [8..5]", {}},
        {"plain Down clears the selection", Qt::Key_Down, false, KeyResult::Moved, "4/0", {64}},
    });
}

TEST_F(NavigationTest, UpAndDownStopAtTheEndsOfTheList)
{
    load(kPiece);
    place(8, 1);
    run({
        {"to the last element", Qt::Key_Up, true, KeyResult::Moved, "9/1 [8..9]", {}},
        {"past the last", Qt::Key_Up, true, KeyResult::NoAction, "9/1 [8..9]", {}},
        {"plain, past the last", Qt::Key_Up, false, KeyResult::NoAction, "9/1 [8..9]", {}},
    });
    place(0, 1);
    music->cursor.clearSelection();
    run({
        {"past the first", Qt::Key_Down, true, KeyResult::NoAction, "0/1", {}},
        {"plain, past the first", Qt::Key_Down, false, KeyResult::NoAction, "0/1", {}},
    });
}

TEST_F(NavigationTest, ShiftHomeAndEndKeepAnAnchorAlreadySet)
{
    load(kPiece);
    place(4, 3);
    run({
        {"Shift+End without an anchor", Qt::Key_End, true, KeyResult::Moved, "9/3 [4..9]", {}},
        {"Shift+Home keeps the anchor", Qt::Key_Home, true, KeyResult::Moved, "0/3 [4..0]", {60, 64}},
        {"Shift+Up keeps it too", Qt::Key_Up, true, KeyResult::Moved, "1/3 [4..1]", {62}},
        {"Shift+End once more", Qt::Key_End, true, KeyResult::Moved, "9/3 [4..9]", {}},
        {"plain Home clears the selection", Qt::Key_Home, false, KeyResult::Moved, "0/3", {60, 64}},
        {"Home again: no move, no sound", Qt::Key_Home, false, KeyResult::Moved, "0/3", {}},
        {"plain End", Qt::Key_End, false, KeyResult::Moved, "9/3", {}},
        {"Shift+Down starts a new anchor", Qt::Key_Down, true, KeyResult::Moved, "8/3 [9..8]", {62, 65}},
        {"Shift+Home keeps it", Qt::Key_Home, true, KeyResult::Moved, "0/3 [9..0]", {60, 64}},
    });
}

TEST_F(NavigationTest, LeftAndRightMoveTheColumnAndSoundOnlyItsTine)
{
    load(kPiece);
    place(3, 0);
    run({
        {"Left in the first column", Qt::Key_Left, false, KeyResult::NoAction, "3/0", {}},
        {"Right", Qt::Key_Right, false, KeyResult::Moved, "3/1", {62}},
        {"Right with Shift", Qt::Key_Right, true, KeyResult::Moved, "3/2", {64}},
        {"Right", Qt::Key_Right, false, KeyResult::Moved, "3/3", {65}},
        {"Right into the last column", Qt::Key_Right, false, KeyResult::Moved, "3/4", {67}},
        {"Right in the last column", Qt::Key_Right, false, KeyResult::NoAction, "3/4", {}},
        {"Left", Qt::Key_Left, false, KeyResult::Moved, "3/3", {65}},
    });
    place(5, 2);
    run({
        {"on a bar the tine sounds as well", Qt::Key_Left, false, KeyResult::Moved, "5/1", {62}},
    });
}

TEST_F(NavigationTest, PageUpAndDownMoveByTheVisibleRun)
{
    load(kLongPiece);
    struct Row {
        const char* name;
        int key;
        int low, high; // the elements the window shows wholly
        KeyResult result;
        int cursor;
        Keys keys;
    };
    // A bar at every multiple of five; tines 1 … 4 in between.
    const Row rows[] = {
        {"Page Up: last + count", Qt::Key_PageUp, 7, 11, KeyResult::Paged, 15, {}},
        {"Page Up, one element showing", Qt::Key_PageUp, 8, 8, KeyResult::Paged, 8, {64}},
        {"Page Up stops at the last", Qt::Key_PageUp, 22, 28, KeyResult::Paged, kLongLast, {}},
        {"Page Up with the end showing", Qt::Key_PageUp, 26, kLongLast, KeyResult::NoAction, 3, {}},
        {"Page Down: first - count", Qt::Key_PageDown, 12, 18, KeyResult::Paged, 6, {60}},
        {"Page Down stops at the first", Qt::Key_PageDown, 2, 7, KeyResult::Paged, 0, {}},
        {"Page Down with the start showing", Qt::Key_PageDown, 0, 4, KeyResult::Paged, 0, {}},
        {"Page Down with the end showing", Qt::Key_PageDown, 24, kLongLast, KeyResult::Paged, 18, {64}},
    };
    for (const Row& row : rows) {
        place(3, 2);
        show(showing(row.low, row.high));
        EXPECT_EQ(OnKeyDown(*view, row.key, false), row.result) << row.name;
        EXPECT_EQ(state(), std::to_string(row.cursor) + "/2") << row.name;
        EXPECT_EQ(heard(), row.keys) << row.name;
    }

    // Nothing wholly visible: no page to move by.
    place(3, 2);
    show({band(12).top + 1, 1});
    for (const int key : {Qt::Key_PageUp, Qt::Key_PageDown})
        EXPECT_EQ(OnKeyDown(*view, key, false), KeyResult::NoAction) << key;
    EXPECT_EQ(state(), "3/2");
}

TEST_F(NavigationTest, WhilePlayingOnlyPlayAndStopKeysAct)
{
    load(kPiece);
    place(4, 2);
    music->cursor.selectionAnchor = at(3);
    music->cursor.selectionEnd = at(4);
    view->playing = true;
    pressAll(
        {
            {Qt::Key_P, false, KeyResult::StopPlaying},
            {Qt::Key_S, false, KeyResult::StopPlaying},
            {Qt::Key_P, true, KeyResult::StopPlaying},
            {Qt::Key_Up, false, KeyResult::NotOurs},
            {Qt::Key_Down, true, KeyResult::NotOurs},
            {Qt::Key_Home, false, KeyResult::NotOurs},
            {Qt::Key_End, true, KeyResult::NotOurs},
            {Qt::Key_Left, false, KeyResult::NotOurs},
            {Qt::Key_Right, false, KeyResult::NotOurs},
            {Qt::Key_PageUp, false, KeyResult::NotOurs},
            {Qt::Key_PageDown, false, KeyResult::NotOurs},
        },
        "4/2 [3..4]");
    EXPECT_FALSE(OnLeftButtonDown(*view, pointOn(7, 0), false));
    EXPECT_FALSE(OnLeftButtonDown(*view, pointOn(7, 0), true));
    EXPECT_EQ(state(), "4/2 [3..4]");
    EXPECT_EQ(heard(), Keys{});
}

TEST_F(NavigationTest, OtherKeysMoveNothing)
{
    load(kPiece);
    place(4, 2);
    pressAll(
        {
            {Qt::Key_P, false, KeyResult::PlayAll},
            {Qt::Key_S, false, KeyResult::NotOurs},
            {Qt::Key_A, true, KeyResult::NotOurs},
            {Qt::Key_Space, false, KeyResult::NotOurs},
            {Qt::Key_Tab, false, KeyResult::NotOurs},
        },
        "4/2");
}

TEST_F(NavigationTest, ClicksMoveTheCursorAndTheSelection)
{
    load(kPiece);
    place(0, 0);
    run({
        {"keyboard selection", Qt::Key_Up, true, KeyResult::Moved, "1/0 [0..1]", {62}},
        {"and one more", Qt::Key_Up, true, KeyResult::Moved, "2/0 [0..2]", {}},
    });
    const QPoint beyond(tineX(5) + 5, pointOn(8, 0).y());
    const QPoint outside(pointOn(8, 0).x(), music->layout.lowestHitY() - 1);
    run({
        {"shift+click anchors at the cursor", pointOn(6, 4), true, "6/4 [2..6]", {60}},
        {"shift+click again moves the anchor", pointOn(7, 1), true, "7/1 [6..7]", {67}},
        {"same element: the column only", pointOn(7, 3), false, "7/3", {}},
        {"plain click", pointOn(3, 0), false, "3/0", {65, 67}},
        {"shift+click to set up a selection", pointOn(4, 2), true, "4/2 [3..4]", {64}},
        {"right of the last lane keeps the column", beyond, false, "8/2", {62, 65}},
        {"shift+click", pointOn(0, 1), true, "0/1 [8..0]", {60, 64}},
        {"shift+click outside clears the selection", outside, true, "0/1", {}},
        {"shift+click again", pointOn(8, 4), true, "8/4 [0..8]", {62, 65}},
        {"click outside", outside, false, "8/4", {}},
    });
}

TEST_F(NavigationTest, TheFirstAndLastCommandsClearTheSelectionAndKeepTheColumn)
{
    load(kPiece);
    place(4, 3);
    music->cursor.selectionAnchor = at(4);
    music->cursor.selectionEnd = at(6);
    CursorToFirst(*view);
    EXPECT_EQ(state(), "0/3");
    EXPECT_EQ(heard(), (Keys{60, 64}));
    CursorToFirst(*view);
    EXPECT_EQ(heard(), Keys{}) << "already there";

    music->cursor.selectionAnchor = at(0);
    music->cursor.selectionEnd = at(2);
    CursorToLast(*view);
    EXPECT_EQ(state(), "9/3");
    EXPECT_EQ(heard(), Keys{}) << "a bar is silent";
}

TEST_F(NavigationTest, MutedTheCursorMovesSilently)
{
    CleanSettings::set("Mute", "1");
    session.readMute();
    load(kPiece);
    place(4, 2);
    run({
        {"Up", Qt::Key_Up, false, KeyResult::Moved, "5/2", {}},
        {"Down", Qt::Key_Down, false, KeyResult::Moved, "4/2", {}},
        {"Right", Qt::Key_Right, false, KeyResult::Moved, "4/3", {}},
        {"Left", Qt::Key_Left, false, KeyResult::Moved, "4/2", {}},
        {"Home", Qt::Key_Home, false, KeyResult::Moved, "0/2", {}},
        {"click", pointOn(8, 1), false, "8/1", {}},
    });
    CursorToFirst(*view);
    EXPECT_EQ(state(), "0/1");
    EXPECT_EQ(heard(), Keys{});
}

TEST_F(NavigationTest, WithoutElementsTheCursorStaysOffAndNothingSounds)
{
    load(kPiece);
    XPxmlDoc empty;
    empty.loadText("<Notes/>");
    view->noteList = empty.rootElement();
    place(-1, 2);
    pressAll(
        {
            {Qt::Key_Home, false, KeyResult::Moved},
            {Qt::Key_End, true, KeyResult::Moved},
            {Qt::Key_Up, false, KeyResult::NoAction},
            {Qt::Key_Down, true, KeyResult::NoAction},
            {Qt::Key_PageUp, false, KeyResult::NoAction},
            {Qt::Key_PageDown, false, KeyResult::NoAction},
            {Qt::Key_Left, false, KeyResult::Moved},
            {Qt::Key_Right, false, KeyResult::Moved},
        },
        "-/2");
    EXPECT_TRUE(OnLeftButtonDown(*view, pointOn(3, 1), false));
    CursorToFirst(*view);
    CursorToLast(*view);
    EXPECT_EQ(music->cursor.element.load(), nullptr);
    EXPECT_EQ(heard(), Keys{});
}

// Any mix of keys, clicks and commands over odd pieces, windows and tine
// counts: the cursor and the selection's ends stay on elements of the list
// (or off) and the cursor in a column that exists. An end without an anchor
// (Shift with no cursor yet) is no selection, but an anchor has an end.
TEST_F(NavigationTest, RandomInputKeepsTheCursorAndSelectionWhole)
{
    const std::string pieces[] = {kPiece, kLongPiece, "", chord("1"), bar(), repeat(chord("3"), 200)};
    const char* const tineSettings[] = {kTines, "Number=\"1\" NoteValues=\"60\"", "Number=\"0\""};
    const int keys[] = {Qt::Key_Up, Qt::Key_Down, Qt::Key_Left, Qt::Key_Right, Qt::Key_Home,
                        Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_P, Qt::Key_S};
    uint32_t seed = 12345;
    auto next = [&seed](uint32_t below) {
        seed = seed * 1664525u + 1013904223u;
        return below ? (seed >> 8) % below : 0;
    };
    for (const std::string& piece : pieces) {
        for (const char* tines : tineSettings) {
            SCOPED_TRACE(piece.substr(0, 40) + " / " + tines);
            Music::Config config;
            config.tines = tines;
            view.reset();
            music = std::make_unique<Music>(piece, config);
            music->layout.CheckAndRefresh(music->doc.firstEvent(), music->cursor);
            const QSize size = music->layout.ComputeExtent(true);
            NavigationView nav{music->layout, music->cursor, music->list(),
                               TineSound{midiPreview(&session, music->layout.options().tineKeys, music->doc.tineCount()), music->doc.tineCount()}};
            const int tineCount = music->doc.tineCount();
            for (int step = 0; step < 400; ++step) {
                music->layout.setViewport(int(next(uint32_t(size.height() + 1))), int(next(400)));
                nav.playing = next(10) == 0;
                switch (next(4)) {
                case 0:
                case 1: OnKeyDown(nav, keys[next(std::size(keys))], next(2) == 0); break;
                case 2: {
                    const QPoint point(int(next(uint32_t(size.width() + 40))) - 20,
                                       int(next(uint32_t(size.height() + 40))) - 20);
                    OnLeftButtonDown(nav, point, next(2) == 0);
                    break;
                }
                default: next(2) == 0 ? CursorToFirst(nav) : CursorToLast(nav); break;
                }
                const ViewCursor& cursor = music->cursor;
                for (const XPxmlNode* element : {cursor.element.load(), cursor.selectionAnchor, cursor.selectionEnd})
                    ASSERT_TRUE(!element || element->parent() == music->list()) << step;
                ASSERT_TRUE(!cursor.selectionAnchor || cursor.selectionEnd) << step;
                ASSERT_GE(cursor.tine, 0) << step;
                ASSERT_LT(cursor.tine, std::max(1, tineCount)) << step;
            }
        }
    }
}

} // namespace
