#include "import/written_tempo.h"

#include "import/chord_timeline.h"
#include "import/note_values.h"

#include <algorithm>
#include <cmath>

namespace {

// Beyond any tempo music has; keeps the whole numbers in range.
constexpr double kFastest = 1e7;

double seconds(int64_t units, double quartersPerMinute)
{
    return double(units) / double(kUnitsPerQuarter) * 60.0 / quartersPerMinute;
}

} // namespace

WrittenTempo::WrittenTempo(const ImportedPiece& piece)
{
    for (const TempoChange& t : piece.tempos)
        if (t.quartersPerMinute > 0)
            m_changes.push_back({unitsOfTicks(t.at, piece.ticksPerQuarter),
                                 std::min(t.quartersPerMinute, kFastest)});
    std::stable_sort(m_changes.begin(), m_changes.end(), [](const Change& a, const Change& b) { return a.at < b.at; });
}

int WrittenTempo::opening(int64_t until)
{
    choose(0, until, true);
    return m_written;
}

int64_t WrittenTempo::nextChange(int64_t at, int64_t limit) const
{
    const auto after = std::upper_bound(m_changes.begin(), m_changes.end(), at,
                                        [](int64_t t, const Change& c) { return t < c.at; });
    return after == m_changes.end() ? limit : std::min(after->at, limit);
}

std::vector<int64_t> WrittenTempo::changesWithin(int64_t from, int64_t to) const
{
    std::vector<int64_t> within;
    for (auto c = std::upper_bound(m_changes.begin(), m_changes.end(), from,
                                   [](int64_t t, const Change& change) { return t < change.at; });
         c != m_changes.end() && c->at < to; ++c)
        if (within.empty() || within.back() != c->at)
            within.push_back(c->at);
    return within;
}

// Accounts for the music up to at, the file's changes on the way included.
// True when the file's tempo changed since the last call.
bool WrittenTempo::advance(int64_t at)
{
    bool changed = false;
    while (true) {
        while (m_next < m_changes.size() && m_changes[m_next].at <= m_at) {
            changed |= m_changes[m_next].quartersPerMinute != m_source;
            m_source = m_changes[m_next++].quartersPerMinute;
        }
        if (m_at >= at)
            return changed;
        const int64_t stop = m_next < m_changes.size() ? std::min(at, m_changes[m_next].at) : at;
        m_lag += seconds(stop - m_at, m_written) - seconds(stop - m_at, m_source);
        m_at = stop;
    }
}

int WrittenTempo::choose(int64_t at, int64_t until, bool always)
{
    const bool changed = advance(at);
    if (!changed && (!always || until <= at))
        return 0; // nothing follows for a new number to govern
    const double source = m_source;
    const int low = std::max(1, int(std::floor(source)));
    const int high = std::max(1, int(std::ceil(source)));
    const int64_t span = std::max<int64_t>(until - at, 0);
    const double lagLow = std::abs(m_lag + seconds(span, low) - seconds(span, source));
    const double lagHigh = std::abs(m_lag + seconds(span, high) - seconds(span, source));
    const int nearest = std::max(1, int(std::lround(source)));
    const int chosen = lagLow < lagHigh ? low : lagHigh < lagLow ? high : nearest;
    if (chosen == m_written)
        return 0;
    m_written = chosen;
    return chosen;
}
