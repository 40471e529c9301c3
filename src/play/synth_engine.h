#pragma once

#include "play/midi_output.h"

#include <memory>
#include <string>

struct _fluid_hashtable_t;
struct _fluid_synth_t;

// Keeps FluidSynth's messages off the terminal: failures reach the user
// through results instead.
void quietenFluidSynthLog();

// The General MIDI synthesizer without any audio output: FluidSynth with one
// SoundFont. The built-in device puts an audio driver on it; tests render
// from it into buffers.
class SynthEngine {
public:
    static constexpr int kSampleRate = 44100;
    // The gain for "volume full": FluidSynth's own default (0.2) is quiet,
    // while chords of many tines must not clip.
    static constexpr float kFullGain = 0.6f;

    SynthEngine();
    ~SynthEngine();
    SynthEngine(const SynthEngine&) = delete;
    SynthEngine& operator=(const SynthEngine&) = delete;

    // False when FluidSynth could not be set up; nothing else works then.
    bool isValid() const { return m_synth != nullptr; }
    // Loads the SoundFont at path, its sample data only for the programs
    // chosen on a channel: a program change loads its samples, and those of
    // a program no channel uses any more are dropped. False when the file
    // cannot be loaded.
    bool loadSoundFont(const std::string& path);

    // Plays one short message: note-on and note-off, control change,
    // program change and pitch bend; other messages are ignored. A channel
    // that has had no program change plays its default program, loaded at
    // its first note.
    void play(MidiMessage message);
    // Cuts every sound at once, release phases included.
    void silence();
    // Silences and sets every channel's controllers back (pedals, pitch
    // bend …), as a fresh engine has them; the programs stay, their samples
    // loaded.
    void reset();
    // Scales the gain by the louder of the two channel volumes.
    void setVolume(uint32_t volume);
    // Renders frames of stereo sound into left and right.
    void render(float* left, float* right, int frames);
    // Voices that still sound, released ones ringing out included.
    int soundingVoices() const;
    // The program chosen on channel, -1 while it has none.
    int program(int channel) const;

    _fluid_hashtable_t* settings() const { return m_settings.get(); }
    _fluid_synth_t* synth() const { return m_synth.get(); }

private:
    std::unique_ptr<_fluid_hashtable_t, void (*)(_fluid_hashtable_t*)> m_settings;
    std::unique_ptr<_fluid_synth_t, void (*)(_fluid_synth_t*)> m_synth;
};
