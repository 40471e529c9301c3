#pragma once

#include <cstdint>
#include <vector>

// Playing along in time: the cursor goes on at the playing speed whatever is
// heard, and each row is marked by when its tines came against when it was
// due.
enum class RowMark { Right, Early, Late, Missed };

struct DueRow {
    int64_t due = 0; // µs from the first row
    std::vector<int> tines;
};

// A row is right when all its tines came within 80 ms of its time, early or
// late when they came further off but nearer to it than to its neighbours
// (and at most 400 ms), missed otherwise.
class TempoJudge {
public:
    static constexpr int64_t kOnTime = 80000;  // µs
    static constexpr int64_t kFarthest = 400000;

    explicit TempoJudge(std::vector<DueRow> rows) : m_rows(std::move(rows)) {}

    // Tines plucked at micros, on the rows' clock.
    void hear(const std::vector<int>& tines, int64_t micros);
    // Every row's mark, from what was heard.
    std::vector<RowMark> marks() const;

private:
    struct Heard {
        int tine;
        int64_t micros;
    };
    std::vector<DueRow> m_rows;
    std::vector<Heard> m_heard;
};
