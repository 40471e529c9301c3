#pragma once

#include <cstdint>

// The clicks of a count-in, timed from its start: one at the start of each
// count, the music one count after the last.
class CountIn {
public:
    static constexpr int64_t kSecond = 1000000; // µs

    // Whole seconds of delay, the last click accented.
    static CountIn seconds(long delay);
    // As many beats of beatMicros as fit into delay seconds, one at least when
    // there is a delay, so that the music still comes in on a beat. The music
    // starts at beat musicBeat of its bar of barBeats beats; the click on a
    // bar's first beat is accented. A beat lasts a microsecond at least.
    static CountIn beats(long delay, double beatMicros, double musicBeat, long barBeats);

    int64_t clicks() const { return m_clicks; }
    int64_t clickAt(int64_t click) const;
    bool accented(int64_t click) const;
    // When the music starts.
    int64_t length() const { return clickAt(m_clicks); }

private:
    int64_t m_clicks = 0;
    double m_beatMicros = kSecond;
    double m_firstBeat = 0; // the first click's place in its bar, in beats
    long m_barBeats = 0;    // 0: no bars, the last click is accented
};
