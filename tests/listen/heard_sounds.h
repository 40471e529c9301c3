#pragma once

#include "listen/tine_pitch.h"
#include "play/performance_render.h"

#include <cstdint>
#include <random>
#include <vector>

// Sounds for the listener to hear, made afresh each time: kalimba notes and
// metronome clicks from the built-in synthesizer, noise and a voice made
// here. Mono at the synthesizer's rate; the same every run.

// A 17-tine kalimba in C, tine 1 the left-most.
extern const TineTuning kC17;

// A note struck on the kalimba at micros, cents off its key.
struct StruckNote {
    int64_t micros = 0;
    int key = 0;
    int cents = 0;
};

// General MIDI 109 Kalimba playing notes at velocity 100; notes sent at
// once bend together.
Performance kalimbaPerformance(const std::vector<StruckNote>& notes);
// The metronome's wood blocks: an accent, then beats, every interval.
Performance metronomePerformance(int clicks, int64_t interval);

// The next number from random, evenly spread over -1 … 1: the same with every
// standard library (unlike its distributions).
double evenlyBetweenMinusOneAndOne(std::minstd_rand& random);

// The frame a message sent at micros starts sounding at.
int64_t frameAt(int64_t micros);

// The built-in synthesizer's sound of performance, both sides averaged.
std::vector<float> renderedMono(const Performance& performance);
// White noise at a level of dB full scale (RMS).
std::vector<float> whiteNoise(double seconds, double level, uint32_t seed);
// Someone talking: voiced syllables gliding in pitch between 100 and 220 Hz
// through a vowel's formants, with the hiss of consonants between.
std::vector<float> talking(double seconds, uint32_t seed);
// a and b played together, as long as the longer.
std::vector<float> mixed(const std::vector<float>& a, const std::vector<float>& b);
