#pragma once

#include <span>

// The frequency of the loudest sine in a stretch of sound within a number of
// cents of nearHz: the peak of its Hann-windowed spectrum, evaluated
// frequency by frequency (Goertzel) on a fine grid and then narrowed down to
// a thousandth of a cent. Slow, and free of any FFT's bins: a yardstick for
// faster pitch readers.
double loudestSineNear(std::span<const float> stretch, double sampleRate, double nearHz, double withinCents);
