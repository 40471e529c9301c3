#pragma once

#include <cstdint>
#include <string_view>
#include <span>

// Lengths in units of a 192nd of a quarter note: every written value from a
// whole note to a 64th, dotted, double-dotted and as a triplet member, is a
// whole number of units.
inline constexpr int64_t kUnitsPerQuarter = 192;

struct NoteValue {
    int64_t length = 0; // units
    int number = 4;     // 1 whole, 2 half, 4 quarter … 64
    int dots = 0;       // 0, 1 or 2
    bool triplet = false;
};

// Every value whose length is a multiple of 4 units (the onset grid's finest
// step; a dotted 64th and double-dotted 32nds and 64ths are not), longest first.
std::span<const NoteValue> gridValues();

// The value of gridValues closest in length to room, the shorter of two
// equally close; plain values only unless triplets are allowed.
NoteValue closestValue(int64_t room, bool allowTriplet);

// The "Value" text: "4", "8.", "2..".
std::string_view valueText(const NoteValue& value);
