#include "listen/tempo_judge.h"

#include <algorithm>
#include <cstdlib>

void TempoJudge::hear(const std::vector<int>& tines, int64_t micros)
{
    for (int tine : tines)
        m_heard.push_back({tine, micros});
}

std::vector<RowMark> TempoJudge::marks() const
{
    std::vector<RowMark> marks;
    for (size_t r = 0; r < m_rows.size(); ++r) {
        const int64_t due = m_rows[r].due;
        // Halfway to the neighbours, and no further than kFarthest.
        const int64_t before = r > 0 ? std::min(kFarthest, (due - m_rows[r - 1].due) / 2) : kFarthest;
        const int64_t after = r + 1 < m_rows.size() ? std::min(kFarthest, (m_rows[r + 1].due - due) / 2) : kFarthest;
        int64_t latest = INT64_MIN, earliest = INT64_MAX;
        bool all = true;
        for (int tine : m_rows[r].tines) {
            // The tine's pluck nearest the row's time, inside its window.
            const Heard* nearest = nullptr;
            for (const Heard& h : m_heard)
                if (h.tine == tine && h.micros >= due - before && h.micros < due + after &&
                    (!nearest || std::llabs(h.micros - due) < std::llabs(nearest->micros - due)))
                    nearest = &h;
            if (!nearest) {
                all = false;
                break;
            }
            latest = std::max(latest, nearest->micros);
            earliest = std::min(earliest, nearest->micros);
        }
        if (!all)
            marks.push_back(RowMark::Missed);
        else if (latest - due > kOnTime)
            marks.push_back(RowMark::Late);
        else if (due - earliest > kOnTime)
            marks.push_back(RowMark::Early);
        else
            marks.push_back(RowMark::Right);
    }
    return marks;
}
