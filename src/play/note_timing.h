#pragma once

#include <cstdint>

// A quarter note at 120 beats per minute.
inline constexpr int64_t kQuarterAt120Micros = 500000;

// The length of a note or rest in quarter-note beats from its "Value" and
// "Tuplet" texts (either may be null): 4 ÷ the Value's number (0, negative or
// no number: a quarter), half as much again for a full stop and a quarter
// more for a second one right after it, all of it times 2/3 when Tuplet is
// present and not empty.
double NoteBeats(const char* value, const char* tuplet);

// The tempo a "Tempo" text sets: its leading integer, 120 for 0.
int64_t readTempo(const char* text);

// How long beats last at tempo, in microseconds (not rounded): nothing at a
// negative tempo.
double beatsMicros(double beats, int64_t tempo);

// The running musical clock: the exact start of the next note, so that the
// rounding of one note's end never shifts the notes after it.
class MusicClock {
public:
    // Music starts (again) at now: after a wait the music itself asked for.
    void rebase(int64_t now);
    // The end of a note of the given length starting where the last one
    // ended, in whole microseconds; the clock moves on to it.
    int64_t NoteDeadline(double micros);
    // Where the clock stands, in whole microseconds.
    int64_t position() const;
    // Where it will stand micros from now, in whole microseconds.
    int64_t ahead(double micros) const;

private:
    int64_t m_origin = 0;
    double m_elapsed = 0; // exact microseconds since m_origin
};
