#include "playback_fixture.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using WalkTest = JumpingPlayback;

const std::string n = note(1);
std::string open_(const std::string& more = "") { return repeatBar("OpenRepeat", more); }
std::string close_(const std::string& more = "") { return repeatBar("CloseRepeat", more); }
std::string both(const std::string& more = "") { return repeatBar("BothRepeat", more); }

TEST_F(WalkTest, RepeatsPlayInThisOrder)
{
    struct Row {
        const char* name;
        std::string notes;
        int start;
        std::vector<int> want; // cursor moves; the last is the return to the start
    };
    const Row rows[] = {
        {"no count: twice; the closing bar is passed only the last time",
         n + open_() + n + close_() + n, 0, {0, 1, 2, 1, 2, 3, 4, 0}},
        {"count 3: four times", n + open_() + n + close_("RepeatCount=\"3\"") + n, 0,
         {0, 1, 2, 1, 2, 1, 2, 1, 2, 3, 4, 0}},
        {"count 1 is the default", n + open_() + n + close_("RepeatCount=\"1\"") + n, 0, {0, 1, 2, 1, 2, 3, 4, 0}},
        {"close without open jumps to the first element", n + n + close_() + n, 0, {0, 1, 0, 1, 2, 3, 0}},
        {"a second close goes back to the same open", n + open_() + n + close_() + n + close_() + n, 0,
         {0, 1, 2, 1, 2, 3, 4, 1, 2, 3, 4, 5, 6, 0}},
        {"starting inside a section repeats from its open", n + open_() + n + n + close_() + n, 3,
         {3, 1, 2, 3, 4, 5, 3}},
        {"starting on the open itself", n + open_() + n + close_() + n, 1, {1, 2, 1, 2, 3, 4, 1}},
        {"both-repeat closes one section, then opens the next", open_() + n + both() + n + close_() + n, 0,
         {0, 1, 0, 1, 2, 3, 2, 3, 4, 5, 0}},
        {"modifiers in any case", n + repeatBar("openrepeat") + n + repeatBar("CLOSEREPEAT") + n, 0,
         {0, 1, 2, 1, 2, 3, 4, 0}},
        {"a close before the cursor is no jump target", n + close_() + n + close_() + n, 2,
         {2, 0, 1, 2, 3, 4, 2}},
        {"the last open before the close is the target; walked again it does nothing", open_() + n + open_() + n + close_() + n, 0,
         {0, 1, 2, 3, 2, 3, 4, 5, 0}},
    };
    for (const Row& row : rows) {
        PlaybackRig& r = load(row.notes);
        r.playThrough(row.start);
        EXPECT_EQ(r.cursorOrder(), row.want) << row.name;
    }
}

TEST_F(WalkTest, RepeatCountZeroOrBelowRepeatsUntilStopped)
{
    for (const char* count : {"0", "-2", "none", "-99999999999999999999"}) {
        // Also a section that takes no time at all: it must not spin.
        for (const std::string& section : {n, std::string("<Note Tines=\"\"/>")}) {
            PlaybackRig& r = load(open_() + section + close_(std::string("RepeatCount=\"") + count + "\"") + n);
            int waits = 0;
            clock.onWait = [&](int64_t) {
                if (++waits == 50)
                    r.engine.requestStop();
            };
            r.playThrough(0);
            clock.onWait = nullptr;
            EXPECT_EQ(waits, 50) << count;
            const std::vector<int> order = r.cursorOrder();
            ASSERT_GE(order.size(), 2u);
            EXPECT_NE(order.back(), 3) << count << ": the note after the section is never reached";
        }
    }
}

TEST_F(WalkTest, EveryElementWalkedLetsTheClockPaceTheThreadTimedOrNot)
{
    // A real-time thread must not run on through elements that take no time.
    PlaybackRig& r = load(n + bar() + "<Note Tines=\"\"/>" + note(1, "4", "Tempo=\"-60\"") + rest() + n);
    r.playThrough(0);
    EXPECT_EQ(clock.paces, 6);
}

TEST_F(WalkTest, TiesStrikeOnceAndWaitOutEveryLength)
{
    const std::string tie = "Tie=\"Y\"";
    struct Row {
        const char* name;
        std::string notes;
        std::vector<int> keys;  // keys sounded
        int64_t lastAt;         // when the last one sounded
    };
    const Row rows[] = {
        {"a tie holds the next note", note(1, "4", tie) + note(1) + note(3), {60, 62}, 2 * QUARTER_NOTE_DURATION},
        {"across a rest", note(1, "4", tie) + rest() + note(1) + note(3), {60, 62}, 3 * QUARTER_NOTE_DURATION},
        {"across a bar", note(1, "4", tie) + bar() + note(1) + note(3), {60, 62}, 2 * QUARTER_NOTE_DURATION},
        {"across an empty note", note(1, "4", tie) + "<Note Tines=\"\" Value=\"1\"/>" + note(1) + note(3),
         {60, 62}, 2 * QUARTER_NOTE_DURATION},
        {"any Tie text ties, even an empty one", note(1, "4", "Tie=\"\"") + note(1) + note(3), {60, 62},
         2 * QUARTER_NOTE_DURATION},
        {"a chain holds every note", note(1, "4", tie) + note(1, "4", tie) + note(1) + note(3), {60, 62},
         3 * QUARTER_NOTE_DURATION},
        {"the held note's own length counts", note(1, "4", tie) + note(1, "1") + note(3), {60, 62},
         5 * QUARTER_NOTE_DURATION},
        {"without a tie every note sounds", note(1) + note(1) + note(3), {60, 60, 62}, 2 * QUARTER_NOTE_DURATION},
    };
    for (const Row& row : rows) {
        PlaybackRig& r = load(row.notes);
        r.playThrough(0);
        EXPECT_EQ(r.soundedKeys(), row.keys) << row.name;
        EXPECT_EQ(r.soundedTimes().back(), row.lastAt) << row.name;
    }
}

TEST_F(WalkTest, PlayDelayCountsDownOnceASecondAndComesBack)
{
    struct Row {
        long delay;
        std::vector<long> shown; // every number the box showed, in order
        int64_t musicAt;         // µs after Play
    };
    const Row rows[] = {
        {3, {2, 1, 0, 0, 3}, 3 * SECOND},
        {0, {0, 0}, 0},
        {-4, {0, 0}, 0},
    };
    for (const Row& row : rows) {
        PlaybackRig& r = load(n + n);
        const int64_t started = clock.now();
        r.playThrough(0, row.delay);
        std::vector<long> shown;
        for (const RecordingWindow::Call& call : r.window.callsOf("delay"))
            shown.push_back(call.number);
        EXPECT_EQ(shown, row.shown) << row.delay;
        const std::vector<RecordingWindow::Call> delays = r.window.callsOf("delay");
        for (size_t i = 0; i + 2 < delays.size(); ++i)
            EXPECT_EQ(delays[i].micros - started, int64_t(i + 1) * SECOND) << row.delay;
        EXPECT_EQ(r.devices.sounded().front().micros - started, row.musicAt) << row.delay;

        // The box is off from the start until the very end.
        const std::vector<RecordingWindow::Call> calls = r.window.calls();
        ASSERT_EQ(calls.front().what, "box");
        EXPECT_EQ(calls.front().number, 0);
        ASSERT_GE(calls.size(), 3u);
        EXPECT_EQ(calls[calls.size() - 2].what, "box");
        EXPECT_EQ(calls[calls.size() - 2].number, 1);
        EXPECT_EQ(calls.back().what, "finished");
    }
}

TEST_F(WalkTest, StopInTheCountInPlaysNothingAndRestoresTheDelay)
{
    PlaybackRig& r = load(n + n);
    int waits = 0;
    clock.onWait = [&](int64_t) {
        if (++waits == 2)
            r.engine.requestStop();
    };
    r.playThrough(0, 5);
    clock.onWait = nullptr;
    std::vector<long> shown;
    for (const RecordingWindow::Call& call : r.window.callsOf("delay"))
        shown.push_back(call.number);
    EXPECT_EQ(shown, (std::vector<long>{4, 4, 5}));
    EXPECT_TRUE(r.devices.sounded().empty());
    EXPECT_TRUE(r.window.callsOf("cursor").empty());
}

TEST_F(WalkTest, CursorReturnsAfterRunningOutAndStaysAfterStop)
{
    PlaybackRig& r = load(n + bar() + n + n + n);
    r.playThrough(2);
    EXPECT_EQ(r.cursorOrder(), (std::vector<int>{2, 3, 4, 2}));
    EXPECT_EQ(r.engine.cursorElement(), r.at(2));
    const RecordingWindow::Call lastScroll = r.window.callsOf("scroll").back();
    EXPECT_EQ(lastScroll.element, r.at(2));
    EXPECT_EQ(lastScroll.number, 0);

    PlaybackRig& s = load(n + bar() + n + n + n);
    int waits = 0;
    clock.onWait = [&](int64_t) {
        if (++waits == 2)
            s.engine.requestStop(); // during the second note walked
    };
    s.playThrough(0);
    clock.onWait = nullptr;
    EXPECT_EQ(s.cursorOrder(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(s.engine.cursorElement(), s.at(2));
}

TEST_F(WalkTest, WithoutACursorNothingPlaysAndTheCursorGoesToTheFirstElement)
{
    PlaybackRig& r = load(bar() + n);
    r.playThrough(-1);
    EXPECT_TRUE(r.devices.sounded().empty());
    EXPECT_EQ(r.cursorOrder(), std::vector<int>{0});

    PlaybackRig& empty = load("");
    empty.playThrough(-1);
    EXPECT_TRUE(empty.window.callsOf("cursor").empty());
    EXPECT_EQ(empty.window.callsOf("finished").size(), 1u);
}

TEST_F(WalkTest, ScrollsTenAheadOfEveryElementButTheLast)
{
    PlaybackRig& r = load(n + n + n);
    r.playThrough(0);
    std::vector<int> ahead;
    for (const RecordingWindow::Call& call : r.window.callsOf("scroll"))
        ahead.push_back(call.number == 0 ? -r.indexOf(call.element) - 1 : r.indexOf(call.element));
    // The next element with a look-ahead of 10, then the return home without.
    EXPECT_EQ(ahead, (std::vector<int>{1, 2, -1}));
    for (const RecordingWindow::Call& call : r.window.callsOf("scroll"))
        EXPECT_TRUE(call.number == 0 || call.number == 10);
}

TEST_F(WalkTest, EveryTineIsSilencedAtTheEnd)
{
    PlaybackRig& r = load(n + note(3));
    r.playThrough(0);
    std::vector<MidiMessage> tail;
    const std::vector<StampedMessage> all = r.devices.messages();
    for (size_t i = all.size() - 5; i < all.size(); ++i)
        tail.push_back(all[i].message);
    std::vector<MidiMessage> want;
    for (int key = 60; key < 65; ++key)
        want.push_back(midiMessage(0x90, key, 0));
    EXPECT_EQ(tail, want);
}

} // namespace
