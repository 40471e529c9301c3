#pragma once

#include <cstdint>

// Numbers and letters written as text in music files.

// Whether text starts with letter (given in upper case) in either case: how
// the files' one-letter values are read ("A" timing, "L" ending a group …).
bool startsWithLetter(const char* text, char letter);

// Reads comma-separated integers (each by the leading-integer rule) into
// table, which is first filled with size zeros. An empty entry reads as 0, a
// comma at the very end adds no entry, and at most size entries are taken.
// Returns how many were read: 0 for a null or empty text.
int ParseNumberList(const char* text, int32_t* table, int size);

// The decimal number at the start of text: optional blanks and sign, digits,
// an optional fraction and exponent, read up to the first character that
// cannot continue it. No number reads as 0; one too large for a double reads
// as an infinity of its sign. Never depends on the user's locale.
double leadingReal(const char* text);

// The decimal integer at the start of text (optional blanks and sign), 0
// without digits, saturating at the limits of 64 bits.
int64_t leadingInteger64(const char* text);

// Where the leading integer of text ends: past blanks, a sign and digits.
const char* afterLeadingInteger(const char* text);
