#include "play/note_timing.h"

#include "doc/measure_beats.h"
#include "doc/number_text.h"

#include <cmath>

double NoteBeats(const char* value, const char* tuplet)
{
    return MeasureBeats(4, value, tuplet);
}

int64_t readTempo(const char* text)
{
    const int64_t tempo = leadingInteger64(text ? text : "");
    return tempo == 0 ? 120 : tempo;
}

double beatsMicros(double beats, int64_t tempo)
{
    if (tempo <= 0)
        return 0;
    return beats * 60'000'000.0 / double(tempo);
}

void MusicClock::rebase(int64_t now)
{
    m_origin = now;
    m_elapsed = 0;
}

int64_t MusicClock::NoteDeadline(double micros)
{
    m_elapsed += micros;
    return position();
}

int64_t MusicClock::position() const
{
    return ahead(0);
}

int64_t MusicClock::ahead(double micros) const
{
    return m_origin + std::llround(m_elapsed + micros);
}
