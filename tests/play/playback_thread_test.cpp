#include "playback_fixture.h"

#include "play/manual_reset_event.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

// These run on the steady clock: they are about threads meeting and ending.
namespace {

using namespace std::chrono;
using namespace std::chrono_literals;

constexpr int64_t kSlack = 30000; // µs a loaded machine may add to one wake-up

// A tempo of 600 makes a quarter 100 ms.
std::string fastQuarters(int count, int tine)
{
    std::string notes;
    for (int i = 0; i < count; ++i)
        notes += note(tine, "4", i == 0 ? "Tempo=\"600\"" : "");
    return notes;
}

struct RealPlayback : ::testing::Test {
    SteadyPlayClock clock;
    TiedViews tied;
};

TEST_F(RealPlayback, TheClockWakesNeverEarlyAndAStopCutsItsWaitShort)
{
    StopSignal stop;
    for (int64_t ahead : {-1000, 0, 500, 1900, 2500, 30000}) {
        const int64_t called = clock.now();
        const int64_t deadline = called + ahead;
        clock.waitUntil(deadline, stop);
        const int64_t woke = clock.now();
        EXPECT_GE(woke, deadline) << ahead;
        EXPECT_LT(woke - std::max(called, deadline), kSlack) << ahead;
    }
    // Raised while the wait sleeps, and while it is about to end.
    for (int64_t ahead : {int64_t(2000000), int64_t(1000)}) {
        stop.clear();
        const int64_t start = clock.now();
        std::thread stopper([&] {
            std::this_thread::sleep_for(microseconds(ahead / 2));
            stop.raise();
        });
        clock.waitUntil(start + ahead, stop);
        EXPECT_LT(clock.now() - start, ahead / 2 + kSlack) << ahead;
        stopper.join();
    }
    const int64_t start = clock.now();
    clock.waitUntil(start + 2000000, stop); // already raised
    EXPECT_LT(clock.now() - start, kSlack);
}

TEST_F(RealPlayback, StopEndsAWholeNoteAtOnceAndLeavesNoThreadBehind)
{
    PlaybackRig r(note(1, "1", "Tempo=\"30\"") + note(2), clock, tied); // 8 s
    ASSERT_TRUE(r.engine.play(r.setup(0)));
    EXPECT_FALSE(r.engine.play(r.setup(0))) << "a second Play while playing is refused";
    std::this_thread::sleep_for(50ms);
    const auto before = steady_clock::now();
    EXPECT_TRUE(r.engine.stop());
    EXPECT_LT(steady_clock::now() - before, 500ms);
    EXPECT_FALSE(r.engine.isPlaying());
    EXPECT_EQ(r.soundedKeys(), std::vector<int>{60});
    EXPECT_EQ(r.window.callsOf("finished").size(), 1u);
}

TEST_F(RealPlayback, PlayRightAfterStopRunsOneThreadAtATime)
{
    PlaybackRig r(fastQuarters(3, 1), clock, tied);
    for (int round = 0; round < 5; ++round) {
        ASSERT_TRUE(r.engine.play(r.setup(0)));
        r.engine.requestStop(); // winding down, not waited for
        ASSERT_TRUE(r.engine.play(r.setup(0)));
        r.engine.requestStop();
    }
    ASSERT_TRUE(r.engine.play(r.setup(0)));
    ASSERT_TRUE(r.window.waitFinished(11));
    // Every run's calls end with its "finished" before the next run's first call.
    int open = 0;
    for (const RecordingWindow::Call& call : r.window.calls()) {
        if (call.what == "box" && call.number == 0) {
            EXPECT_EQ(open++, 0);
        }
        if (call.what == "finished")
            --open;
    }
    EXPECT_EQ(open, 0);
}

TEST_F(RealPlayback, DestroyingTheEngineWaitsForItsThread)
{
    PlaybackRig r(note(1, "1", "Tempo=\"30\"") + note(2), clock, tied);
    auto engine = std::make_unique<PlaybackThread>(r.session, r.window, tied, clock);
    ASSERT_TRUE(engine->play(r.setup(0, 3)));
    engine.reset(); // in the count-in: the thread must have ended by now
    const std::vector<RecordingWindow::Call> calls = r.window.calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().what, "finished");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(r.window.calls().size(), calls.size()) << "nothing reaches the window afterwards";
}

TEST_F(RealPlayback, NotesKeepTheirLengthsOnTheSteadyClock)
{
    // A strummed chord first: its 54 ms of pauses fall inside its own length.
    std::string notes = "<Note Tines=\"1,2,3\" Value=\"4\" Tempo=\"240\"/>";
    for (int i = 0; i < 24; ++i)
        notes += note(4, "16", "Tuplet=\"3\""); // 41 666.7 µs each: one second in all
    notes += note(5);
    PlaybackRig r(notes, clock, tied);
    r.playThrough(0);
    const std::vector<StampedMessage> sounded = r.devices.sounded();
    ASSERT_EQ(sounded.size(), 3u + 24 + 1);
    const int64_t first = sounded.front().micros;
    EXPECT_NEAR(sounded[3].micros - first, QUARTER_NOTE_DURATION / 2, kSlack);
    // The last note comes on the beat: late wake-ups do not add up.
    EXPECT_NEAR(sounded.back().micros - first, QUARTER_NOTE_DURATION / 2 + 1000000, kSlack);
}

// Two views tied at their bar lines: one plays four quarters a bar, the other
// one half note, so the second waits for the first at every bar.
TEST_F(RealPlayback, TiedViewsStartEveryBarTogether)
{
    std::string four = bar("Tempo=\"600\"");
    std::string one = bar("Tempo=\"600\"");
    for (int b = 0; b < 3; ++b) {
        four += fastQuarters(4, 1) + bar();
        one += note(2, "2") + bar();
    }
    PlaybackRig a(four, clock, tied);
    PlaybackRig b(one, clock, tied);
    tied.beginTie();
    tied.addTiedView();
    tied.addTiedView();
    ASSERT_TRUE(a.engine.play(a.setup(0)));
    ASSERT_TRUE(b.engine.play(b.setup(0)));
    ASSERT_TRUE(a.window.waitFinished());
    ASSERT_TRUE(b.window.waitFinished());

    const std::vector<StampedMessage> aNotes = a.devices.sounded();
    const std::vector<StampedMessage> bNotes = b.devices.sounded();
    ASSERT_EQ(aNotes.size(), 12u);
    ASSERT_EQ(bNotes.size(), 3u);
    for (size_t bar = 0; bar < 3; ++bar)
        EXPECT_NEAR(aNotes[bar * 4].micros, bNotes[bar].micros, kSlack) << "bar " << bar;
    EXPECT_EQ(tied.viewCount(), 0) << "a thread that ends ends the tie";
}

TEST_F(RealPlayback, AStoppedPartnerReleasesTheWaitingViewAtOnce)
{
    PlaybackRig slow(note(1, "1", "Tempo=\"30\"") + bar() + note(1), clock, tied); // 8 s to its bar
    PlaybackRig quick(note(2, "4", "Tempo=\"600\"") + bar() + note(3), clock, tied);
    tied.beginTie();
    tied.addTiedView();
    tied.addTiedView();
    ASSERT_TRUE(slow.engine.play(slow.setup(0)));
    ASSERT_TRUE(quick.engine.play(quick.setup(0)));
    std::this_thread::sleep_for(300ms); // quick now waits at its bar
    EXPECT_EQ(quick.soundedKeys(), std::vector<int>{61});
    const auto stopped = steady_clock::now();
    slow.engine.stop();
    ASSERT_TRUE(quick.window.waitFinished(1, 5000));
    EXPECT_LT(steady_clock::now() - stopped, 1s);
    EXPECT_EQ(quick.soundedKeys(), (std::vector<int>{61, 62}));
}

TEST_F(RealPlayback, StopReleasesAThreadWaitingAtABarLine)
{
    PlaybackRig alone(note(2, "4", "Tempo=\"600\"") + bar() + note(3), clock, tied);
    tied.beginTie();
    tied.addTiedView();
    tied.addTiedView(); // a partner that never comes
    ASSERT_TRUE(alone.engine.play(alone.setup(0)));
    std::this_thread::sleep_for(300ms);
    const auto before = steady_clock::now();
    EXPECT_TRUE(alone.engine.stop());
    EXPECT_LT(steady_clock::now() - before, 500ms);
    EXPECT_EQ(alone.soundedKeys(), std::vector<int>{61});
}

// A partner that races on to its next bar line resets the event before a
// waiter has woken: the set it missed must still release it.
TEST(BarEvent, ASetIsNotLostToALaterReset)
{
    ManualResetEvent event;
    const auto never = [] { return false; };
    const uint64_t seen = event.setCount();
    event.set();
    event.reset();
    const auto before = steady_clock::now();
    EXPECT_TRUE(event.waitSince(seen, 5000ms, never));
    EXPECT_LT(steady_clock::now() - before, 1s);
    EXPECT_FALSE(event.waitSince(event.setCount(), 10ms, never)) << "reset, and no set since";
    EXPECT_FALSE(event.waitSince(event.setCount(), 5000ms, [] { return true; })) << "given up at once";
}

} // namespace
