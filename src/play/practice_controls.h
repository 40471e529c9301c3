#pragma once

#include <algorithm>
#include <atomic>

inline constexpr int kMinSpeedPercent = 25;
inline constexpr int kMaxSpeedPercent = 200;
inline constexpr int kNormalSpeedPercent = 100;
inline constexpr int kSpeedStepPercent = 5;

// The practice tools every playback thread reads while it plays: the user
// interface changes them at any time and a thread takes the change at its
// next element (or beat).
struct PracticeControls {
    std::atomic<int> speed{kNormalSpeedPercent}; // percent of the written tempo
    std::atomic<bool> metronome{false};

    void setSpeed(int percent) { speed = std::clamp(percent, kMinSpeedPercent, kMaxSpeedPercent); }
};
