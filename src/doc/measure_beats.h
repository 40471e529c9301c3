#pragma once

#include <string>

// A bar's time signature, read from its "Timing" ("A4/4", "M3/4": a letter,
// then beats "/" unit). Values below 1 read as 4, so that a measure always
// holds some beats and a beat always has a length.
struct TimeSignature {
    long beats = 4;
    long unit = 4;
};

// The signature of a "Timing" text; null or unreadable parts read as 4.
TimeSignature readTimeSignature(const char* timing);
// The timing of an automatic bar in the measures of a bar whose "Timing" is
// timing: the same with the letter "A" ("A4/4" when there is none).
std::string automaticTiming(const char* timing);
// Whether a "Timing" text starts with letter, in either case.
bool timingLetterIs(const char* timing, char letter);

// The length of a note or rest in beats of denominator: denominator ÷ n for a
// "Value" of n (0, negative or missing: a quarter), half as much again for a
// full stop, a quarter more for a second one right after it, and 2/3 of all
// that when the "Tuplet" text is not empty. A denominator below 1 counts as 4.
double MeasureBeats(long denominator, const char* value, const char* tuplet);
// The same for a "Value" already read as its number and dots.
double MeasureBeats(long denominator, long valueNumber, int dots, bool tuplet);
// The dots of a "Value": 0 without a full stop, 2 when a second one follows
// the first, else 1.
int valueDots(const char* value);

// Whether accumulated beats fill a measure of beats exactly: the two agree to
// seven decimal places, the first rounded up by 0.00000001.
bool fillsMeasure(double accumulated, long beats);
// The slack with which accumulated beats count as reaching a measure's end.
inline constexpr double kBeatSlack = 0.000000001;
