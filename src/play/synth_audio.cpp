#include "play/synth_audio.h"

#include "play/play_clock.h"
#include "play/realtime_priority.h"
#include "play/synth_engine.h"

#include <fluidsynth.h>

#include <algorithm>

namespace {

// About 12 ms of sound buffered ahead, a delay a player cannot hear, in as
// few wake-ups of the audio thread as that allows: PulseAudio buffers one
// period ahead, the other outputs a period times the count of periods.
void setAudioPeriods(fluid_settings_t* settings, const std::string& driver)
{
    fluid_settings_setint(settings, "audio.period-size", driver == "pulseaudio" ? 512 : 256);
    fluid_settings_setint(settings, "audio.periods", 2);
    // Not FluidSynth's own request: the audio thread asks in its first period,
    // as the playback thread does, so that the log tells which way it went.
    fluid_settings_setint(settings, "audio.realtime-prio", 0);
}

// Whether the audio thread asks for real-time scheduling. Not with
// PulseAudio: libpulse's own client thread, at normal priority, carries each
// period to the server, and a real-time thread ahead of it made underruns
// five to twenty times as frequent under load, for about 40 % more processor
// time (measured with bench/rest_and_latency).
bool realtimeAudio(const std::string& driver)
{
    return driver != "pulseaudio";
}

} // namespace

SynthAudio::SynthAudio(std::unique_ptr<SynthEngine> engine, std::vector<std::string> drivers,
                       std::chrono::milliseconds restAfter)
    : m_engine(std::move(engine)), m_drivers(std::move(drivers)), m_restAfter(restAfter),
      m_driver(nullptr, delete_fluid_audio_driver)
{
}

std::unique_ptr<SynthAudio> SynthAudio::start(std::unique_ptr<SynthEngine> engine,
                                              const std::vector<std::string>& drivers,
                                              std::chrono::milliseconds restAfter)
{
    std::unique_ptr<SynthAudio> audio(new SynthAudio(std::move(engine), drivers, restAfter));
    if (!audio->startFirstDriver())
        return nullptr;
    AudioRest::Output& output = *audio;
    audio->m_rest = std::make_unique<AudioRest>(output, midiClockMicros(),
                                                std::chrono::microseconds(restAfter).count());
    audio->m_rest->startThread();
    return audio;
}

SynthAudio::~SynthAudio()
{
    m_rest.reset(); // nothing starts the output any more
    m_driver.reset();
}

std::unique_ptr<SynthEngine> SynthAudio::stopAndTakeEngine(std::unique_ptr<SynthAudio> audio)
{
    audio->m_rest.reset();
    audio->m_driver.reset();
    return std::move(audio->m_engine);
}

bool SynthAudio::startedWith(const std::vector<std::string>& drivers, std::chrono::milliseconds restAfter) const
{
    return m_drivers == drivers && m_restAfter == restAfter;
}

void SynthAudio::noteGiven()
{
    m_rest->wake();
}

bool SynthAudio::startFirstDriver()
{
    for (const std::string& driver : m_drivers) {
        if (!driver.empty())
            fluid_settings_setstr(m_engine->settings(), "audio.driver", driver.c_str());
        setAudioPeriods(m_engine->settings(), driver);
        m_realtimeAudio = realtimeAudio(driver);
        if (start())
            return true;
    }
    return false;
}

bool SynthAudio::start()
{
    // Rendering through a callback, the audio thread can ask for real-time
    // scheduling itself, once it runs.
    if (m_realtimeAudio) {
        m_audioThreadAsked = false; // each start runs a new thread
        m_driver.reset(new_fluid_audio_driver2(m_engine->settings(), render, this));
    }
    // A driver that cannot call back (FluidSynth's file driver) renders by itself.
    if (!m_driver)
        m_driver.reset(new_fluid_audio_driver(m_engine->settings(), m_engine->synth()));
    if (m_driver && !m_realtimeAudio)
        logRealtime(ThreadRole::Audio, {RealtimeOutcome::Way::Normal, 0, "paced by PulseAudio's client thread"});
    return m_driver != nullptr;
}

void SynthAudio::stop()
{
    m_driver.reset();
}

int SynthAudio::soundingVoices()
{
    return m_engine->soundingVoices();
}

// On the audio thread, for each period: the engine's sound with its effects
// mixed in, as FluidSynth renders without a callback.
int SynthAudio::render(void* data, int frames, int, float*[], int channels, float* out[])
{
    auto* self = static_cast<SynthAudio*>(data);
    if (!self->m_audioThreadAsked.exchange(true))
        makeThisThreadRealtime(ThreadRole::Audio);
    for (int i = 0; i < channels; ++i)
        std::fill_n(out[i], frames, 0.0f); // the engine adds to what is there
    return fluid_synth_process(self->m_engine->synth(), frames, channels, out, channels, out);
}
