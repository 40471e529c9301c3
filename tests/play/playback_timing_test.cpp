#include "playback_fixture.h"

#include "play/note_timing.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using FastPlayback = JumpingPlayback;

TEST_F(FastPlayback, EachValueLastsItsLengthAtItsTempo)
{
    struct Row {
        const char* name;
        std::string first; // the element whose length is measured, after a note on tine 1
        int64_t want;      // µs from the first note-on to the one after first
    };
    const Row rows[] = {
        {"quarter", note(2, "4"), QUARTER_NOTE_DURATION},
        {"dotted quarter", note(2, "4."), 750000},
        {"double-dotted quarter", note(2, "4.."), 875000},
        {"a dot after another character is one dot", note(2, "4.x."), 750000},
        {"eighth triplet", note(2, "8", "Tuplet=\"3\""), 166667},
        {"quarter triplet, any Tuplet text", note(2, "4", "Tuplet=\"x\""), 333333},
        {"an empty Tuplet is no tuplet", note(2, "4", "Tuplet=\"\""), QUARTER_NOTE_DURATION},
        {"whole", note(2, "1"), 2000000},
        {"Value 0 counts as a quarter", note(2, "0"), QUARTER_NOTE_DURATION},
        {"Value without a number counts as a quarter", note(2, "x"), QUARTER_NOTE_DURATION},
        {"no Value counts as a quarter", "<Note Tines=\"2\"/>", QUARTER_NOTE_DURATION},
        {"rest", rest("2"), 1000000},
        {"tempo 90 on the element", note(2, "4", "Tempo=\"90\""), 666667},
        {"tempo on a rest holds from there", rest("4", "Tempo=\"60\""), 1000000},
        {"tempo 0 plays at 120", note(2, "4", "Tempo=\"0\""), QUARTER_NOTE_DURATION},
        {"tempo without a number plays at 120", note(2, "4", "Tempo=\"fast\""), QUARTER_NOTE_DURATION},
        {"negative tempo takes no time", note(2, "4", "Tempo=\"-60\""), 0},
        {"6/8 does not change an eighth", bar("Timing=\"A6/8\"") + note(2, "8"), 250000},
        {"tines outside the instrument still take time", note(9, "4"), QUARTER_NOTE_DURATION},
        {"an empty note takes no time", "<Note Tines=\"\" Value=\"1\"/>" + note(2, "4"), QUARTER_NOTE_DURATION},
        {"an element of another name takes no time", "<Lyric Value=\"1\"/>" + note(2, "4"), QUARTER_NOTE_DURATION},
    };
    for (const Row& row : rows) {
        PlaybackRig& r = load(note(1, "4", "Tempo=\"120\"") + row.first + note(3));
        r.playThrough(1); // from the measured element on
        const std::vector<StampedMessage> sounded = r.devices.sounded();
        ASSERT_FALSE(sounded.empty()) << row.name;
        const int64_t start = r.window.callsOf("cursor").front().micros;
        EXPECT_EQ(sounded.back().micros - start, row.want) << row.name;
    }
}

TEST_F(FastPlayback, StartingTempoComesFromTheCursorElementOrTheNearestBeforeIt)
{
    struct Row {
        const char* name;
        std::string notes;
        int start;
        int64_t want; // length of the element at start
    };
    const Row rows[] = {
        {"none: 120", note(1) + note(2) + note(3), 1, QUARTER_NOTE_DURATION},
        {"on the cursor element", note(1, "4", "Tempo=\"60\"") + note(2, "4", "Tempo=\"240\"") + note(3), 1, 250000},
        {"on a bar before it", bar("Tempo=\"60\"") + note(1) + note(2) + note(3), 2, 1000000},
        {"the nearest one wins", note(1, "4", "Tempo=\"240\"") + rest("4", "Tempo=\"60\"") + note(2) + note(3), 2,
         1000000},
        {"one after the cursor does not count yet", note(1) + note(2) + note(3, "4", "Tempo=\"60\""), 1,
         QUARTER_NOTE_DURATION},
    };
    for (const Row& row : rows) {
        PlaybackRig& r = load(row.notes);
        r.playThrough(row.start);
        const std::vector<int64_t> times = r.soundedTimes();
        ASSERT_GE(times.size(), 2u) << row.name;
        EXPECT_EQ(times[1], row.want) << row.name;
    }
}

TEST_F(FastPlayback, ThreeHundredTripletEighthsEndOnTheExactBeat)
{
    std::string notes;
    for (int i = 0; i < 301; ++i)
        notes += note(1 + i % 2, "8", "Tuplet=\"3\"");
    PlaybackRig& r = load(notes);
    r.playThrough(0);
    const std::vector<int64_t> times = r.soundedTimes();
    ASSERT_EQ(times.size(), 301u);
    // 300 × 166 666.67 µs: no rounding adds up.
    EXPECT_EQ(times.back(), 50 * SECOND);
    for (size_t i = 1; i < times.size(); ++i) {
        const int64_t length = times[i] - times[i - 1];
        EXPECT_TRUE(length == 166666 || length == 166667) << i << ": " << length;
    }
}

// A strum longer than its note or a stalled thread leaves a deadline behind:
// past it by more than 10 ms, the next note starts from then with its whole
// length instead of being cut short until the clock has caught up.
TEST_F(FastPlayback, AnElementEndingLateLetsTheNextStartFromThen)
{
    struct Row {
        const char* name;
        std::string notes;
        int lateWait; // which wait of the walk ends late, from 0
        int64_t late; // µs past its deadline
        std::vector<int64_t> want;
    };
    const std::string eighths = note(1, "8") + note(2, "8") + note(3, "8") + note(4, "8");
    const Row rows[] = {
        {"10 ms late stays on the beat", eighths, 0, 10000, {0, 260000, 500000, 750000}},
        {"just over 10 ms late", eighths, 0, 10001, {0, 260001, 510001, 760001}},
        {"56 ms late, as a 17-tine strum on an eighth", eighths, 0, 56000, {0, 306000, 556000, 806000}},
        {"late at the second note", eighths, 1, 200000, {0, 250000, 700000, 950000}},
        {"a rest ending late", note(1, "8") + rest("8") + note(2, "8") + note(3, "8"), 1, 30000,
         {0, 530000, 780000}},
    };
    for (const Row& row : rows) {
        PlaybackRig& r = load(row.notes);
        int waits = 0;
        clock.onWait = [&](int64_t deadline) {
            if (waits++ == row.lateWait)
                clock.stallUntil(deadline + row.late);
        };
        r.playThrough(0);
        EXPECT_EQ(r.soundedTimes(), row.want) << row.name;
    }
    clock.onWait = nullptr;
}

TEST(NoteTiming, BeatsAndTheRunningClock)
{
    EXPECT_DOUBLE_EQ(NoteBeats("16", nullptr), 0.25);
    EXPECT_DOUBLE_EQ(NoteBeats("2.", ""), 3.0);
    EXPECT_EQ(beatsMicros(1.0, -1), 0.0);
    EXPECT_EQ(readTempo(nullptr), 120);
    EXPECT_EQ(readTempo(" 90bpm"), 90);

    MusicClock clock;
    clock.rebase(7);
    EXPECT_EQ(clock.NoteDeadline(333333.333), 333340);
    EXPECT_EQ(clock.NoteDeadline(333333.333), 666674);
    EXPECT_EQ(clock.NoteDeadline(333333.333), 1000007);
}

} // namespace
