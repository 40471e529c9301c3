#pragma once

#include "play/midi_output.h"

#include <cstdint>
#include <vector>

// Tines plucked on the built-in synthesizer's kalimba (General MIDI 109),
// never a recording of anyone: mono samples at the engine's rate.
inline constexpr int kKalimbaProgram = 108;

// A 17-tine kalimba in C, tine 1 the left-most.
inline const std::vector<int> kKalimbaC17{86, 83, 79, 76, 72, 69, 65, 62, 60, 64, 67, 71, 74, 77, 81, 84, 88};

struct TimedMessage {
    double seconds = 0.0;
    MidiMessage message = 0;
};

// messages on the kalimba (program change first), rendered dry for seconds.
std::vector<float> renderKalimba(const std::vector<TimedMessage>& messages, double seconds);

// A pluck of key at velocity 100 on channel 1, detuned by cents through the
// pitch bend (a bend range of two semitones), at seconds.
std::vector<TimedMessage> pluck(int key, double cents = 0.0, double seconds = 0.0);
