#include "play/count_in.h"

#include "doc/measure_beats.h"

#include <algorithm>
#include <cmath>

CountIn CountIn::seconds(long delay)
{
    CountIn count;
    count.m_clicks = std::max(delay, 0L);
    return count;
}

CountIn CountIn::beats(long delay, double beatMicros, double musicBeat, long barBeats)
{
    CountIn count;
    count.m_beatMicros = beatMicros;
    count.m_barBeats = std::max(barBeats, 1L);
    if (delay > 0 && beatMicros > 0) {
        const double fit = std::floor(double(delay) * double(kSecond) / beatMicros + kBeatSlack);
        count.m_clicks = std::max<int64_t>(int64_t(fit), 1);
    }
    count.m_firstBeat = musicBeat - double(count.m_clicks);
    return count;
}

int64_t CountIn::clickAt(int64_t click) const
{
    return std::llround(double(click) * m_beatMicros);
}

bool CountIn::accented(int64_t click) const
{
    if (m_barBeats == 0)
        return click == m_clicks - 1;
    // Bars before the music have negative beats; each starts at a multiple.
    const auto beat = int64_t(std::floor(m_firstBeat + double(click) + kBeatSlack));
    return (beat % m_barBeats + m_barBeats) % m_barBeats == 0;
}
