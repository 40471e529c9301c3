#pragma once

#include "play/midi_output.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

// The name the built-in synthesizer (device -1) goes by in the device list.
inline constexpr const char* kBuiltInSynthName = "Zolva Synthesizer (General MIDI)";

// Where a General MIDI SoundFont is usually installed, best first.
std::vector<std::string> usualSoundFontPaths();

// The SoundFont to load: the file named by override when that is set (even
// when it is no SoundFont, so that a wrong choice shows), else the first
// candidate that is a SoundFont; empty when there is none.
std::string findSoundFont(const char* override, const std::vector<std::string>& candidates);

// The SoundFont the built-in synthesizer plays: the one ZOLVA_SOUNDFONT names
// or the first usual one; empty when there is none.
std::string builtInSoundFont();

// How long the audio output runs on after the last sound has died away.
inline constexpr std::chrono::milliseconds kAudioRestAfter{3000};

// Opens the built-in synthesizer with builtInSoundFont(), playing through the system's audio output. Returns
// at once: the SoundFont loads on a thread of its own, and so do the samples
// of each program given to prepareProgram(); messages sent meanwhile sound
// once it is done, or not at all when that is more than a second later. The
// audio output stops when nothing has sounded for kAudioRestAfter and starts
// again for the next note. Null when there is no SoundFont or no audio output.
// A close keeps the engine and its output running (KeptSynth), every sound
// cut, and an open with the same SoundFont and audio settings takes them back
// at once; with other audio settings it keeps only the engine.
std::unique_ptr<MidiOutput> openBuiltInSynth();

// The same with a given SoundFont file, FluidSynth audio drivers to try in
// order ("" for FluidSynth's own choice) and rest time.
std::unique_ptr<MidiOutput> openBuiltInSynth(const std::string& soundFont, const std::vector<std::string>& drivers,
                                             std::chrono::milliseconds restAfter = kAudioRestAfter);
