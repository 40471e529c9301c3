#include "listen/play_along.h"

#include <algorithm>
#include <numeric>

PlayAlong::PlayAlong(std::vector<std::vector<int>> rows) : m_rows(std::move(rows))
{
    if (!m_rows.empty())
        m_heardAt.assign(m_rows.front().size(), -1);
}

PlayAlong::Heard PlayAlong::hear(const std::vector<int>& tines, int64_t micros)
{
    Heard heard;
    if (finished())
        return heard;
    if (m_rowSince < 0)
        m_rowSince = micros; // the first row waits from the first pluck
    const std::vector<int>& row = m_rows[m_row];
    for (int tine : tines) {
        const auto at = std::find(row.begin(), row.end(), tine);
        if (at == row.end()) {
            heard.wrong.push_back(tine);
            ++m_wrongNotes;
            m_wrongHere = true;
        } else {
            m_heardAt[size_t(at - row.begin())] = micros;
        }
    }
    const auto [first, last] = std::minmax_element(m_heardAt.begin(), m_heardAt.end());
    if (m_heardAt.empty() || *first < 0 || *last - *first > kTogether)
        return heard;
    m_took.push_back(micros - m_rowSince);
    m_rightFirstTime += !m_wrongHere;
    m_wrongHere = false;
    m_rowSince = micros;
    ++m_row;
    m_heardAt.assign(finished() ? 0 : m_rows[m_row].size(), -1);
    heard.moved = true;
    return heard;
}

PlayAlongSummary PlayAlong::summary() const
{
    PlayAlongSummary s;
    s.rows = int(m_took.size());
    s.rightFirstTime = m_rightFirstTime;
    s.wrongNotes = m_wrongNotes;
    if (!m_took.empty())
        s.secondsPerRow = double(std::accumulate(m_took.begin(), m_took.end(), int64_t(0))) / 1e6 / double(m_took.size());
    std::vector<int> order(m_took.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) { return m_took[size_t(a)] > m_took[size_t(b)]; });
    order.resize(std::min<size_t>(order.size(), 3));
    s.slowestRows = order;
    return s;
}
