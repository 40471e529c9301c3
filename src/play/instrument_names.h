#pragma once

#include <array>

// The General MIDI instruments offered in MIDI Setup, spelled as the program
// has always shown them. Entry n - 1 is program number n (1 … 128).
inline constexpr int kInstrumentCount = 128;
extern const std::array<const char*, kInstrumentCount> kInstrumentNames;
