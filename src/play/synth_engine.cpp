#include "play/synth_engine.h"

#include <fluidsynth.h>

#include <algorithm>
#include <mutex>

void quietenFluidSynthLog()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, nullptr, nullptr);
    });
}

namespace {

fluid_settings_t* makeSettings()
{
    quietenFluidSynthLog();
    fluid_settings_t* settings = new_fluid_settings();
    if (settings) {
        fluid_settings_setnum(settings, "synth.sample-rate", SynthEngine::kSampleRate);
        fluid_settings_setnum(settings, "synth.gain", SynthEngine::kFullGain);
        // A General MIDI SoundFont holds 128 programs and more, and a piece
        // plays one of them: the rest need not be in memory.
        fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
    }
    return settings;
}

// The channel's program number, also while no preset is chosen for it.
int programNumber(fluid_synth_t* synth, int channel)
{
    int soundFont = 0, bank = 0, program = 0;
    fluid_synth_get_program(synth, channel, &soundFont, &bank, &program);
    return program;
}

} // namespace

SynthEngine::SynthEngine()
    : m_settings(makeSettings(), delete_fluid_settings), m_synth(nullptr, delete_fluid_synth)
{
    if (m_settings)
        m_synth.reset(new_fluid_synth(m_settings.get()));
}

SynthEngine::~SynthEngine() = default;

bool SynthEngine::loadSoundFont(const std::string& path)
{
    if (!m_synth || !fluid_is_soundfont(path.c_str()))
        return false;
    // Without choosing programs for the channels now: that would load the
    // samples of the default ones, which the program may never play.
    return fluid_synth_sfload(m_synth.get(), path.c_str(), 0) != FLUID_FAILED;
}

void SynthEngine::play(MidiMessage message)
{
    if (!m_synth)
        return;
    const int channel = midiStatus(message) & 0x0F;
    const int d1 = midiData1(message) & 0x7F;
    const int d2 = midiData2(message) & 0x7F;
    switch (midiStatus(message) & 0xF0) {
    case 0x80:
        fluid_synth_noteoff(m_synth.get(), channel, d1);
        break;
    case 0x90: // velocity 0 is a note-off
        if (d2 == 0) {
            fluid_synth_noteoff(m_synth.get(), channel, d1);
            break;
        }
        // A channel that has had no program change has no samples yet.
        if (!fluid_synth_get_channel_preset(m_synth.get(), channel))
            fluid_synth_program_change(m_synth.get(), channel, programNumber(m_synth.get(), channel));
        fluid_synth_noteon(m_synth.get(), channel, d1, d2);
        break;
    case 0xB0:
        fluid_synth_cc(m_synth.get(), channel, d1, d2);
        break;
    case 0xC0:
        fluid_synth_program_change(m_synth.get(), channel, d1);
        break;
    case 0xE0:
        fluid_synth_pitch_bend(m_synth.get(), channel, d1 | d2 << 7);
        break;
    default:
        break;
    }
}

void SynthEngine::silence()
{
    if (m_synth)
        fluid_synth_all_sounds_off(m_synth.get(), -1);
}

void SynthEngine::reset()
{
    if (!m_synth)
        return;
    constexpr int kResetAllControllers = 121;
    for (int channel = 0; channel < fluid_synth_count_midi_channels(m_synth.get()); ++channel)
        fluid_synth_cc(m_synth.get(), channel, kResetAllControllers, 0);
    silence();
}

void SynthEngine::setVolume(uint32_t volume)
{
    if (!m_synth)
        return;
    const uint32_t louder = std::max(volume & 0xFFFF, volume >> 16);
    fluid_synth_set_gain(m_synth.get(), kFullGain * float(louder) / float(0xFFFF));
}

int SynthEngine::soundingVoices() const
{
    return m_synth ? fluid_synth_get_active_voice_count(m_synth.get()) : 0;
}

int SynthEngine::program(int channel) const
{
    if (!m_synth || !fluid_synth_get_channel_preset(m_synth.get(), channel))
        return -1;
    return programNumber(m_synth.get(), channel);
}

void SynthEngine::render(float* left, float* right, int frames)
{
    if (!m_synth) {
        std::fill(left, left + frames, 0.0f);
        std::fill(right, right + frames, 0.0f);
        return;
    }
    fluid_synth_write_float(m_synth.get(), frames, left, 0, 1, right, 0, 1);
}
