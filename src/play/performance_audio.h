#pragma once

#include <cstdint>
#include <functional>
#include <span>

class SynthEngine;
struct Performance;
struct WorkProgress;

// Where rendered sound goes: interleaved stereo frames at the engine's rate.
// Returning false ends the render.
using AudioSink = std::function<bool(std::span<const float> interleaved)>;

// How long the sound may ring on after a performance's last message.
inline constexpr int64_t kLongestRingOut = 6'000'000; // µs

// FluidSynth starts a note only between blocks of this many frames.
inline constexpr int64_t kSynthBlockFrames = 64;

// The frame a message sent at micros sounds from: the block boundary nearest
// its exact frame, so no note is more than half a block (0.73 ms) off.
int64_t audioFrameOf(int64_t micros);

// Plays performance through engine (its SoundFont loaded) on a sample clock:
// the sound up to each message's frame, then the message, and on until
// nothing sounds or the ring-out ends. As fast as the processor allows, on
// the calling thread. progress (may be null) counts frames and can cancel.
// False when cancelled or the sink refused more.
bool renderPerformanceAudio(const Performance& performance, SynthEngine& engine, const AudioSink& sink,
                            WorkProgress* progress = nullptr);
