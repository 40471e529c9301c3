// The practice tools in the engine: speed, metronome clicks and loops, on the
// jumping clock; tied views at a changed speed on the steady one.
#include "playback_fixture.h"

#include "play/practice_controls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct PracticePlayback : JumpingPlayback {
    PracticeControls practice;

    PlaybackSetup practised(PlaybackRig& r, int start, long playDelay = 0)
    {
        PlaybackSetup s = r.setup(start, playDelay);
        s.practice = &practice;
        s.clicks = true;
        return s;
    }
    void play(PlaybackRig& r, const PlaybackSetup& s)
    {
        const size_t before = r.window.callsOf("finished").size();
        ASSERT_TRUE(r.engine.play(s));
        ASSERT_TRUE(r.window.waitFinished(int(before) + 1));
        r.engine.stop();
    }
    // Stops the run at the waits-th wait of the clock.
    void stopAtWait(PlaybackRig& r, int waits)
    {
        auto count = std::make_shared<int>(0);
        clock.onWait = [&r, count, waits](int64_t) {
            if (++*count == waits)
                r.engine.requestStop();
        };
    }
};

// A bar setting the time signature timing ("A3/4"), and more attributes.
std::string timed(const std::string& timing, const std::string& more = "")
{
    return "<Bar Type=\"Auto\" Timing=\"" + timing + "\" " + more + "/>";
}

// Sounding note-ons as "n60@0" (tines, channel 1) and "c76/110@0" (clicks,
// channel 10), times from the first one, in the order sent.
std::vector<std::string> heard(const PlaybackRig& r)
{
    std::vector<std::string> out;
    int64_t first = -1;
    for (const StampedMessage& m : r.devices.messages()) {
        const int status = midiStatus(m.message);
        if ((status != 0x90 && status != 0x99) || midiData2(m.message) == 0)
            continue;
        if (first < 0)
            first = m.micros;
        const std::string at = "@" + std::to_string(m.micros - first);
        if (status == 0x90)
            out.push_back("n" + std::to_string(midiData1(m.message)) + at);
        else
            out.push_back("c" + std::to_string(midiData1(m.message)) + "/" + std::to_string(midiData2(m.message)) + at);
    }
    return out;
}

TEST_F(PracticePlayback, SpeedScalesWrittenTimeAndKeepsTempoMarks)
{
    // A quarter at 120, then an eighth, a rest, a dotted quarter at 60 as marked.
    const std::string piece =
        note(1) + note(2, "8", "Tempo=\"60\"") + rest("4") + note(3, "4.") + note(4);
    const std::vector<int64_t> written{0, 500000, 2000000, 3500000};
    for (int speed : {50, 100, 200}) {
        PlaybackRig& r = load(piece);
        practice.setSpeed(speed);
        play(r, practised(r, 0));
        const std::vector<int64_t> times = r.soundedTimes();
        ASSERT_EQ(times.size(), written.size()) << speed;
        for (size_t i = 0; i < times.size(); ++i)
            EXPECT_NEAR(times[i], written[i] * 100 / speed, 1000) << speed << "% note " << i;
    }
}

TEST_F(PracticePlayback, ASpeedChangeCountsFromTheNextElement)
{
    PlaybackRig& r = load(note(1) + note(2) + note(3) + note(4));
    int waits = 0;
    clock.onWait = [&](int64_t) {
        if (++waits == 2)
            practice.setSpeed(50); // while the second note sounds
    };
    play(r, practised(r, 0));
    clock.onWait = nullptr;
    EXPECT_EQ(r.soundedTimes(), (std::vector<int64_t>{0, 500000, 1000000, 2000000}));
}

TEST_F(PracticePlayback, MetronomeClicksEveryBeatOfTheTimeSignature)
{
    struct Row {
        const char* name;
        std::string notes;
        std::vector<std::string> want;
    };
    const Row rows[] = {
        {"4/4 in halves", timed("A4/4") + note(1, "2") + note(2, "2") + bar(),
         {"c76/110@0", "n60@0", "c77/80@500000", "c77/80@1000000", "n61@1000000", "c77/80@1500000"}},
        {"3/4", timed("A3/4") + note(1, "2.") + timed("A3/4") + note(2) + rest("2"),
         {"c76/110@0", "n60@0", "c77/80@500000", "c77/80@1000000", "c76/110@1500000", "n61@1500000",
          "c77/80@2000000", "c77/80@2500000"}},
        {"6/8: eighth clicks", timed("A6/8") + note(1, "4.") + note(2, "4."),
         {"c76/110@0", "n60@0", "c77/80@250000", "c77/80@500000", "c77/80@750000", "n61@750000", "c77/80@1000000",
          "c77/80@1250000"}},
        {"a change from 2/4 to 3/8", timed("A2/4") + note(1, "2") + timed("A3/8") + note(2, "4."),
         {"c76/110@0", "n60@0", "c77/80@500000", "c76/110@1000000", "n61@1000000", "c77/80@1250000",
          "c77/80@1500000"}},
        {"started mid-bar: the beat counts from the bar", timed("A4/4") + note(1) + note(2) + note(3, "2"),
         {"c77/80@0", "n61@0", "c77/80@500000", "n62@500000", "c77/80@1000000"}},
        {"a pickup counts from its measure's end", timed("A4/4") + note(1) + bar() + note(2, "2"),
         {"c77/80@0", "n60@0", "c76/110@500000", "n61@500000", "c77/80@1000000"}},
        {"triplets fall between the beats", timed("A2/4") + note(1, "8", "Tuplet=\"3\"") +
                                                note(2, "8", "Tuplet=\"3\"") + note(3, "8", "Tuplet=\"3\"") + note(4),
         {"c76/110@0", "n60@0", "n61@166667", "n62@333333", "c77/80@500000", "n63@500000"}},
    };
    practice.metronome = true;
    for (const Row& row : rows) {
        PlaybackRig& r = load(row.notes);
        const bool midBar = std::string(row.name).starts_with("started");
        play(r, practised(r, midBar ? 2 : 0));
        EXPECT_EQ(heard(r), row.want) << row.name;
        // Silenced at the end like the tines.
        const std::vector<StampedMessage> all = r.devices.messages();
        EXPECT_EQ(all.back().message, midiMessage(0x99, 77, 0)) << row.name;
    }
}

TEST_F(PracticePlayback, OnlyAClickingThreadWithTheMetronomeOnClicks)
{
    for (const auto& [metronome, clicks] : {std::pair{true, false}, std::pair{false, true}}) {
        PlaybackRig& r = load(bar() + note(1, "1") + bar());
        practice.metronome = metronome;
        PlaybackSetup s = practised(r, 0, 1);
        s.clicks = clicks;
        play(r, s);
        for (const StampedMessage& m : r.devices.messages())
            EXPECT_NE(midiStatus(m.message), 0x99) << metronome << clicks;
    }
}

TEST_F(PracticePlayback, CountInClicksTheBeatsBeforeTheFirstNote)
{
    struct Row {
        const char* name;
        std::string music;
        int speed;
        long delay;
        std::vector<std::string> clicks; // 76: a bar's first beat
        std::vector<long> shown;         // by the play-delay box
    };
    const auto first = [](const char* timing, const char* tempo) {
        return timed(timing, "Tempo=\"" + std::string(tempo) + "\"");
    };
    const std::string whole = note(1, "1") + bar();
    const Row rows[] = {
        {"60 bpm: beats 2, 3 and 4", first("A4/4", "60") + whole, 100, 3,
         {"77@-3000000", "77@-2000000", "77@-1000000"}, {2, 1, 0, 0, 3}},
        {"60 bpm at 50%: beats twice as long", first("A4/4", "60") + whole, 50, 5, {"77@-4000000", "77@-2000000"},
         {4, 3, 2, 1, 0, 0, 5}},
        {"100 bpm: the bar before starts on the accent", first("A4/4", "100") + whole, 100, 4,
         {"77@-3600000", "77@-3000000", "76@-2400000", "77@-1800000", "77@-1200000", "77@-600000"},
         {3, 2, 1, 0, 0, 4}},
        {"100 bpm at 50%", first("A4/4", "100") + whole, 50, 4, {"77@-3600000", "77@-2400000", "77@-1200000"},
         {3, 2, 1, 0, 0, 4}},
        {"150 bpm in 3/4", first("A3/4", "150") + note(1, "2.") + bar(), 100, 2,
         {"77@-2000000", "77@-1600000", "76@-1200000", "77@-800000", "77@-400000"}, {1, 0, 0, 2}},
        {"150 bpm at 50% in 6/8: eighths", first("A6/8", "150") + note(1, "2.") + bar(), 50, 3,
         {"77@-2800000", "76@-2400000", "77@-2000000", "77@-1600000", "77@-1200000", "77@-800000", "77@-400000"},
         {2, 1, 0, 0, 3}},
        {"a one-beat pickup comes in on beat 4", first("A4/4", "60") + note(1) + bar() + whole, 100, 4,
         {"77@-4000000", "76@-3000000", "77@-2000000", "77@-1000000"}, {3, 2, 1, 0, 0, 4}},
        {"a delay shorter than a beat: one beat", first("A4/4", "60") + whole, 50, 1, {"77@-2000000"},
         {2, 1, 0, 0, 1}},
        {"no delay: no count-in", first("A4/4", "60") + whole, 100, 0, {}, {0, 0}},
    };
    practice.metronome = true;
    for (const Row& row : rows) {
        PlaybackRig& r = load(row.music);
        practice.setSpeed(row.speed);
        const int64_t started = clock.now();
        play(r, practised(r, 0, row.delay));
        // The clicks before the first note as "76@-600000": the key, and µs from the note.
        const int64_t music = r.devices.sounded().front().micros;
        std::vector<std::string> clicks;
        int64_t firstClick = music;
        for (const StampedMessage& m : r.devices.messages()) {
            if (midiStatus(m.message) != 0x99 || midiData2(m.message) == 0 || m.micros >= music)
                continue;
            firstClick = std::min(firstClick, m.micros);
            clicks.push_back(std::to_string(midiData1(m.message)) + "@" + std::to_string(m.micros - music));
        }
        EXPECT_EQ(clicks, row.clicks) << row.name;
        EXPECT_EQ(firstClick, clicks.empty() ? music : started) << row.name << ": the count-in starts at Play";
        std::vector<long> shown;
        for (const RecordingWindow::Call& call : r.window.callsOf("delay"))
            shown.push_back(call.number);
        EXPECT_EQ(shown, row.shown) << row.name;
    }
}

TEST_F(PracticePlayback, LoopPlaysTheSelectionUntilStopped)
{
    const std::string n = note(1);
    const std::string open = repeatBar("OpenRepeat");
    const std::string close = repeatBar("CloseRepeat");
    struct Row {
        const char* name;
        std::string notes;
        int first, last;
        int stopAt; // the wait that Stop cuts short
        std::vector<int> want; // cursor moves
    };
    const Row rows[] = {
        {"inside plain notes", n + n + n + n, 1, 2, 5, {1, 2, 1, 2, 1}},
        {"around a repeat section: it repeats on every pass", n + open + n + close + n, 0, 4, 7,
         {0, 1, 2, 1, 2, 3, 4, 0, 1, 2, 1, 2}},
        {"across a section's open", n + open + n + close + n, 0, 2, 4, {0, 1, 2, 0, 1, 2}},
        {"a close whose open lies before: back to the first row", open + n + n + close + n, 2, 3, 4,
         {2, 2, 3, 2, 2}},
        {"across a section's close", n + open + n + close + n, 2, 4, 5, {2, 2, 3, 4, 2, 2}},
    };
    for (const Row& row : rows) {
        PlaybackRig& r = load(row.notes);
        PlaybackSetup s = practised(r, row.first);
        s.loopFirst = r.at(row.first);
        s.loopLast = r.at(row.last);
        stopAtWait(r, row.stopAt);
        play(r, s);
        clock.onWait = nullptr;
        // Stopped, the cursor stays where the music stopped.
        EXPECT_EQ(r.cursorOrder(), row.want) << row.name;
    }
}

// The window keeps only the calls of its base; passes are counted here.
struct PassWindow : RecordingWindow {
    using RecordingWindow::RecordingWindow;
    void showPass(XPxmlNode* bar, long pass, long passes) override
    {
        std::lock_guard lock(mutex);
        shown.push_back(std::to_string(pass) + (passes ? "/" + std::to_string(passes) : "") + "@" +
                        std::to_string(rig->indexOf(bar)));
    }
    std::mutex mutex;
    std::vector<std::string> shown; // "pass/passes@index of the bar"
    PlaybackRig* rig = nullptr;
};

TEST_F(PracticePlayback, RepeatPassesAreShownOnTheClosingBar)
{
    const std::string n = note(1);
    const std::string open = repeatBar("OpenRepeat");
    struct Row {
        const char* name;
        std::string music;
        int stopAt; // 0: plays to the end
        std::vector<std::string> want;
        int loopFirst = -1;
        int loopLast = -1;
    };
    const Row rows[] = {
        {"a loop ending before the closing bar: no pass", open + n + n + repeatBar("CloseRepeat") + n, 6, {}, 1, 2},
        {"no count: two passes", open + n + repeatBar("CloseRepeat") + n, 0, {"1/2@2", "2/2@2", "0@2"}},
        {"count 2: three passes", open + n + repeatBar("CloseRepeat", "RepeatCount=\"2\"") + n, 0,
         {"1/3@2", "2/3@2", "3/3@2", "0@2"}},
        {"until Stop: the pass alone", open + n + repeatBar("CloseRepeat", "RepeatCount=\"0\"") + n, 4,
         {"1@2", "2@2", "3@2", "4@2"}},
        {"two sections, one after the other", open + n + repeatBar("BothRepeat") + n + repeatBar("CloseRepeat") + n, 0,
         {"1/2@2", "2/2@2", "0@2", "1/2@4", "2/2@4", "0@4"}},
    };
    for (const Row& row : rows) {
        PlaybackRig& r = load(row.music);
        PassWindow window(clock);
        window.rig = &r;
        PlaybackThread engine(r.session, window, tied, clock);
        int waits = 0;
        clock.onWait = [&](int64_t) {
            if (++waits == row.stopAt)
                engine.requestStop();
        };
        PlaybackSetup setup = r.setup(std::max(row.loopFirst, 0));
        if (row.loopFirst >= 0) {
            setup.loopFirst = r.at(row.loopFirst);
            setup.loopLast = r.at(row.loopLast);
        }
        ASSERT_TRUE(engine.play(setup));
        ASSERT_TRUE(window.waitFinished());
        engine.stop();
        clock.onWait = nullptr;
        EXPECT_EQ(window.shown, row.want) << row.name;
    }
}

// Two views slowed to 75 %: the one with four quarters a bar and the one with
// a half note still start every bar together.
TEST(PracticeTiedViews, SlowedViewsStillMeetAtEveryBar)
{
    SteadyPlayClock clock;
    TiedViews tied;
    PracticeControls practice;
    practice.setSpeed(75);
    std::string four = bar("Tempo=\"600\"");
    std::string one = bar("Tempo=\"600\"");
    for (int b = 0; b < 3; ++b) {
        four += note(1) + note(1) + note(1) + note(1) + bar();
        one += note(2, "2") + bar();
    }
    PlaybackRig a(four, clock, tied);
    PlaybackRig b(one, clock, tied);
    tied.beginTie();
    tied.tieViews(2);
    PlaybackSetup sa = a.setup(0);
    PlaybackSetup sb = b.setup(0);
    sa.practice = sb.practice = &practice;
    ASSERT_TRUE(a.engine.play(sa));
    ASSERT_TRUE(b.engine.play(sb));
    ASSERT_TRUE(a.window.waitFinished());
    ASSERT_TRUE(b.window.waitFinished());

    const std::vector<StampedMessage> aNotes = a.devices.sounded();
    const std::vector<StampedMessage> bNotes = b.devices.sounded();
    ASSERT_EQ(aNotes.size(), 12u);
    ASSERT_EQ(bNotes.size(), 3u);
    constexpr int64_t kSlack = 30000;
    for (size_t bar = 0; bar < 3; ++bar)
        EXPECT_NEAR(aNotes[bar * 4].micros, bNotes[bar].micros, kSlack) << "bar " << bar;
    // Four quarters of 100 ms, slowed to 75 %: 533 ms a bar.
    EXPECT_NEAR(aNotes[4].micros - aNotes[0].micros, 533333, kSlack);
}

} // namespace
