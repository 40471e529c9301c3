// The play-along cursor's judgement of the plucks heard: when it moves on,
// what counts as wrong, and the summary.
#include "listen/play_along.h"
#include "listen/tempo_judge.h"

#include <gtest/gtest.h>

namespace {

struct Pluck {
    std::vector<int> tines;
    int64_t ms;
};

TEST(PlayAlong, MovesWhenTheRowIsHeardTogether)
{
    struct Row {
        const char* name;
        std::vector<std::vector<int>> rows;
        std::vector<Pluck> plucks;
        size_t row; // where the cursor waits after them
        int rightFirstTime;
        int wrongNotes;
    };
    const std::vector<Row> table = {
        {"single tines in order", {{1}, {2}, {3}}, {{{1}, 0}, {{2}, 500}, {{3}, 900}}, 3, 3, 0},
        {"a chord at once", {{1, 3, 5}, {2}}, {{{1, 3, 5}, 0}}, 1, 1, 0},
        {"a chord strummed within 150 ms", {{1, 3, 5}}, {{{1}, 0}, {{3}, 60}, {{5}, 140}}, 1, 1, 0},
        {"a chord too spread waits for its tines again", {{1, 3}}, {{{1}, 0}, {{3}, 400}}, 0, 0, 0},
        {"... and takes them when they come together", {{1, 3}}, {{{1}, 0}, {{3}, 400}, {{1}, 450}}, 1, 1, 0},
        {"a wrong tine moves nothing", {{1}, {2}}, {{{4}, 0}}, 0, 0, 1},
        {"a wrong tine spoils the first try", {{1}, {2}}, {{{4}, 0}, {{1}, 300}, {{2}, 600}}, 2, 1, 1},
        {"a wrong tine with the right one", {{1}}, {{{1, 2}, 0}}, 1, 0, 1},
        {"nothing after the end", {{1}}, {{{1}, 0}, {{7}, 100}}, 1, 1, 0},
    };
    for (const Row& r : table) {
        PlayAlong along(r.rows);
        for (const Pluck& p : r.plucks)
            along.hear(p.tines, p.ms * 1000);
        EXPECT_EQ(along.row(), r.row) << r.name;
        EXPECT_EQ(along.summary().rightFirstTime, r.rightFirstTime) << r.name;
        EXPECT_EQ(along.summary().wrongNotes, r.wrongNotes) << r.name;
    }
}

TEST(PlayAlong, SummaryTimesTheRows)
{
    PlayAlong along({{1}, {2}, {3}, {4}});
    for (const Pluck& p : std::vector<Pluck>{{{1}, 1000}, {{2}, 1500}, {{3}, 3500}, {{4}, 4000}})
        along.hear(p.tines, p.ms * 1000);
    const PlayAlongSummary s = along.summary();
    EXPECT_TRUE(along.finished());
    EXPECT_EQ(s.rows, 4);
    EXPECT_DOUBLE_EQ(s.secondsPerRow, (0 + 0.5 + 2.0 + 0.5) / 4);
    EXPECT_EQ(s.slowestRows, (std::vector<int>{2, 1, 3}));
}

} // namespace

namespace {

TEST(TempoJudge, MarksEachRowByWhenItsTinesCame)
{
    struct Row {
        const char* name;
        std::vector<Pluck> plucks;
        std::vector<RowMark> marks;
    };
    // Rows due at 0, 1 s and 2 s: tine 1, the chord 2+3, tine 4.
    const std::vector<DueRow> rows{{0, {1}}, {1000000, {2, 3}}, {2000000, {4}}};
    const std::vector<Row> table = {
        {"all on time", {{{1}, 0}, {{2, 3}, 1050}, {{4}, 1960}}, {RowMark::Right, RowMark::Right, RowMark::Right}},
        {"late and early", {{{1}, 200}, {{2, 3}, 1000}, {{4}, 1850}}, {RowMark::Late, RowMark::Right, RowMark::Early}},
        {"a chord's tine late", {{{1}, 0}, {{2}, 1000}, {{3}, 1120}, {{4}, 2000}},
         {RowMark::Right, RowMark::Late, RowMark::Right}},
        {"a tine never came", {{{1}, 0}, {{2}, 1000}, {{4}, 2000}}, {RowMark::Right, RowMark::Missed, RowMark::Right}},
        {"too far off is missed", {{{1}, 0}, {{2, 3}, 1600}, {{4}, 2000}},
         {RowMark::Right, RowMark::Missed, RowMark::Right}},
        {"nothing heard", {}, {RowMark::Missed, RowMark::Missed, RowMark::Missed}},
    };
    for (const Row& r : table) {
        TempoJudge judge(rows);
        for (const Pluck& p : r.plucks)
            judge.hear(p.tines, p.ms * 1000);
        EXPECT_EQ(judge.marks(), r.marks) << r.name;
    }
}

} // namespace
