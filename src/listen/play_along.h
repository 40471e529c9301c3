#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// How a play-along went: rows right at the first try (nothing wrong heard
// while at them), wrong tines heard, the average time a row took, and the
// rows that took longest (at most three, slowest first).
struct PlayAlongSummary {
    int rows = 0;
    int rightFirstTime = 0;
    int wrongNotes = 0;
    double secondsPerRow = 0.0;
    std::vector<int> slowestRows; // indices into the rows
};

// Playing along: the cursor waits at each row until every tine of it has
// been heard, their plucks within 150 ms of each other, then goes on to the
// next. A tine heard that the row does not hold is a wrong note and moves
// nothing.
class PlayAlong {
public:
    static constexpr int64_t kTogether = 150000; // µs

    // The tines of each row, in the order the piece plays them (repeats played out).
    explicit PlayAlong(std::vector<std::vector<int>> rows);

    struct Heard {
        bool moved = false;
        std::vector<int> wrong; // tines the row does not hold
    };
    // Tines plucked at micros.
    Heard hear(const std::vector<int>& tines, int64_t micros);

    size_t row() const { return m_row; }
    const std::vector<std::vector<int>>& rows() const { return m_rows; }
    bool finished() const { return m_row >= m_rows.size(); }
    PlayAlongSummary summary() const;

private:
    std::vector<std::vector<int>> m_rows;
    size_t m_row = 0;
    std::vector<int64_t> m_heardAt; // per tine of the row, -1: not yet
    bool m_wrongHere = false;
    int64_t m_rowSince = -1; // when the row became the one waited at
    int m_rightFirstTime = 0;
    int m_wrongNotes = 0;
    std::vector<int64_t> m_took; // per row passed, µs
};
