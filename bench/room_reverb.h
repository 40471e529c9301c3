#pragma once

#include <cstdint>
#include <span>
#include <vector>

// A room a microphone hears a kalimba in: the direct sound, then after a
// short delay a tail of exponentially decaying noise, as loud in all as the
// direct sound, that falls by 60 dB in rt60 seconds. The same every run
// for a seed.
struct Room {
    double rt60 = 0.4;         // s
    double firstEcho = 0.005;  // s after the direct sound
    double tailToDirect = 0.0; // dB, the tail's energy against the direct sound's
    uint32_t seed = 1;
};

// dry as heard in room at the synthesizer's rate, as long as dry.
std::vector<float> heardInRoom(std::span<const float> dry, const Room& room);
