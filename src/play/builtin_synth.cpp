#include "play/builtin_synth.h"

#include "play/audio_rest.h"
#include "play/held_messages.h"
#include "play/midi_recorder.h"
#include "play/realtime_priority.h"
#include "play/synth_engine.h"

#include <QCoreApplication>

#include <fluidsynth.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <thread>

namespace {

// The audio drivers to try, in order; empty means FluidSynth's own choice.
std::vector<std::string> audioDrivers()
{
#if defined(__linux__)
    // Without this a JACK client tries to start a server, which stalls for
    // seconds on machines that have none.
    setenv("JACK_NO_START_SERVER", "1", 0);
    std::vector<std::string> drivers{"pulseaudio", "pipewire"};
    // No sound card: ALSA would only print its failure to the terminal.
    if (std::filesystem::exists("/dev/snd"))
        drivers.push_back("alsa");
    drivers.push_back("jack");
    return drivers;
#else
    return {""};
#endif
}

// The engine of the last closed synthesizer, SoundFont still loaded: the
// program closes and reopens its output after every playback, and loading a
// large SoundFont each time would silence the previews for a while.
class ParkedEngine {
public:
    static ParkedEngine& instance()
    {
        static ParkedEngine parked;
        return parked;
    }

    void park(const std::string& soundFont, std::unique_ptr<SynthEngine> engine)
    {
        engine->silence();
        std::lock_guard lock(m_mutex);
        m_soundFont = soundFont;
        std::swap(m_engine, engine);
    }

    // The parked engine when it holds soundFont, else null.
    std::unique_ptr<SynthEngine> take(const std::string& soundFont)
    {
        std::lock_guard lock(m_mutex);
        if (m_soundFont != soundFont)
            return nullptr;
        return std::move(m_engine);
    }

private:
    std::mutex m_mutex;
    std::string m_soundFont;
    std::unique_ptr<SynthEngine> m_engine;
};

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

constexpr int kProgramChange = 0xC0;
constexpr int kDrumChannel = 9; // channel 10, where General MIDI keeps its kits

bool isNoteOn(MidiMessage message)
{
    return (midiStatus(message) & 0xF0) == 0x90 && midiData2(message) != 0;
}

class BuiltInSynth : public MidiOutput, private AudioRest::Output {
public:
    // loaded: the engine holds soundFont already.
    BuiltInSynth(std::unique_ptr<SynthEngine> engine, std::string soundFont, bool loaded,
                 std::chrono::milliseconds restAfter)
        : m_engine(std::move(engine)), m_soundFont(std::move(soundFont)),
          m_driver(nullptr, delete_fluid_audio_driver), m_restAfter(restAfter), m_loaded(loaded)
    {
    }
    ~BuiltInSynth() override { close(); }

    // Starts the audio output, which rests from when nothing has sounded for
    // a while; false when no driver can play.
    bool startAudio(const std::vector<std::string>& drivers)
    {
        for (const std::string& driver : drivers) {
            if (!driver.empty())
                fluid_settings_setstr(m_engine->settings(), "audio.driver", driver.c_str());
            setAudioPeriods(m_engine->settings(), driver);
            m_realtimeAudio = realtimeAudio(driver);
            if (start()) {
                const int64_t restAfter = std::chrono::microseconds(m_restAfter).count();
                AudioRest::Output& output = *this;
                m_rest = std::make_unique<AudioRest>(output, midiClockMicros(), restAfter);
                m_rest->startThread();
                return true;
            }
        }
        return false;
    }

    // Makes the engine sound once the SoundFont is in: at once when it was
    // loaded before, else after loading it on a thread of its own.
    void startSounding()
    {
        std::lock_guard lock(m_mutex);
        if (m_loaded)
            becomeReady();
        else
            startLoader();
    }

    void setVolume(uint32_t volume) override
    {
        std::lock_guard lock(m_mutex);
        m_volume = volume;
        if (m_ready)
            m_engine->setVolume(volume);
    }

    // Loading a program's samples takes a while: the loader does it, and
    // what is sent meanwhile waits for it.
    void prepareProgram(int program) override
    {
        std::lock_guard lock(m_mutex);
        if (m_closed)
            return;
        m_program = program & 0x7F;
        if (m_loading || !m_loaded || m_engine->program(0) == m_program)
            return;
        m_ready = false;
        startLoader();
    }

    // The kit's samples load on the loader as a program's do, not on the
    // thread of the first click.
    void prepareDrums() override
    {
        std::lock_guard lock(m_mutex);
        if (m_closed || m_drums)
            return;
        m_drums = true;
        if (m_loading || !m_loaded || m_engine->program(kDrumChannel) >= 0)
            return;
        m_ready = false;
        startLoader();
    }

    void send(MidiMessage message) override
    {
        std::lock_guard lock(m_mutex);
        if (m_closed)
            return;
        if (m_ready)
            play(message);
        else
            m_held.hold(message, midiClockMicros());
    }

    void close() override
    {
        {
            std::lock_guard lock(m_mutex);
            if (m_closed)
                return;
            m_closed = true;
            m_ready = false;
        }
        // No send reaches the engine any more; the loader may still be busy.
        if (m_loader.joinable())
            m_loader.join();
        m_rest.reset();
        stop();
        if (m_loaded)
            ParkedEngine::instance().park(m_soundFont, std::move(m_engine));
        m_engine.reset();
    }

private:
    bool start() override
    {
        // Rendering through a callback, the audio thread can ask for
        // real-time scheduling itself, once it runs.
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

    // On the audio thread, for each period: the engine's sound with its
    // effects mixed in, as FluidSynth renders without a callback.
    static int render(void* data, int frames, int, float*[], int channels, float* out[])
    {
        auto* self = static_cast<BuiltInSynth*>(data);
        if (!self->m_audioThreadAsked.exchange(true))
            makeThisThreadRealtime(ThreadRole::Audio);
        for (int i = 0; i < channels; ++i)
            std::fill_n(out[i], frames, 0.0f); // the engine adds to what is there
        return fluid_synth_process(self->m_engine->synth(), frames, channels, out, channels, out);
    }
    void stop() override { m_driver.reset(); }
    int soundingVoices() override { return m_engine->soundingVoices(); }

    // With m_mutex held.
    void play(MidiMessage message)
    {
        m_engine->play(message);
        if (isNoteOn(message) && m_rest)
            m_rest->wake();
    }

    // With m_mutex held.
    void becomeReady()
    {
        m_engine->setVolume(m_volume);
        m_ready = true;
        for (MidiMessage message : m_held.release(midiClockMicros()))
            play(message);
    }

    // With m_mutex held; a loader that has said it is done only has to end.
    void startLoader()
    {
        if (m_loader.joinable())
            m_loader.join();
        m_loading = true;
        m_loader = std::thread([this, loaded = m_loaded] { load(loaded); });
    }

    // The loader: the SoundFont if it is not in yet, then the program asked
    // for, chosen on the channel PlayChord uses so that its samples load here,
    // and the drum kit when the metronome wants it.
    void load(bool loadedBefore)
    {
        const bool loaded = loadedBefore || m_engine->loadSoundFont(m_soundFont);
        int tried = -1;
        bool drumsTried = false;
        for (;;) {
            MidiMessage next = 0;
            {
                std::lock_guard lock(m_mutex);
                m_loaded = loaded;
                const int program = m_program;
                const bool programDone = program < 0 || program == tried || m_engine->program(0) == program;
                const bool drumsDone = !m_drums || drumsTried || m_engine->program(kDrumChannel) >= 0;
                if (m_closed || !loaded || (programDone && drumsDone)) {
                    if (!m_closed && loaded)
                        becomeReady();
                    m_loading = false;
                    return;
                }
                if (!programDone) {
                    next = midiMessage(kProgramChange, program, 0);
                    tried = program;
                } else {
                    next = midiMessage(kProgramChange | kDrumChannel, 0, 0);
                    drumsTried = true;
                }
            }
            m_engine->play(next);
        }
    }

    std::unique_ptr<SynthEngine> m_engine;
    const std::string m_soundFont;
    std::unique_ptr<fluid_audio_driver_t, void (*)(fluid_audio_driver_t*)> m_driver; // started and stopped by m_rest
    const std::chrono::milliseconds m_restAfter;
    std::unique_ptr<AudioRest> m_rest;
    bool m_realtimeAudio = false; // set before each driver starts
    std::atomic<bool> m_audioThreadAsked{false}; // for real-time scheduling
    std::thread m_loader;
    std::mutex m_mutex;
    HeldMessages m_held;
    uint32_t m_volume = kMidiVolumeFull;
    int m_program = -1; // asked for by prepareProgram
    bool m_drums = false; // asked for by prepareDrums
    bool m_loaded; // written by the loader
    bool m_loading = false;
    bool m_ready = false;
    bool m_closed = false;
};

} // namespace

std::vector<std::string> usualSoundFontPaths()
{
    std::vector<std::string> paths;
    if (QCoreApplication::instance()) {
        const std::string beside = QCoreApplication::applicationDirPath().toStdString();
        paths.push_back(beside + "/soundfonts/default.sf2");
    }
    for (const char* path : {"/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf2/default-GM.sf2",
                             "/usr/share/soundfonts/FluidR3_GM.sf2", "/usr/share/soundfonts/default.sf2",
                             "/usr/local/share/soundfonts/default.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2"})
        paths.emplace_back(path);
    return paths;
}

std::string findSoundFont(const char* override, const std::vector<std::string>& candidates)
{
    if (override && *override)
        return override;
    quietenFluidSynthLog();
    for (const std::string& path : candidates) {
        if (fluid_is_soundfont(path.c_str()))
            return path;
    }
    return {};
}

std::unique_ptr<MidiOutput> openBuiltInSynth()
{
    return openBuiltInSynth(findSoundFont(std::getenv("ZOLVA_SOUNDFONT"), usualSoundFontPaths()), audioDrivers());
}

std::unique_ptr<MidiOutput> openBuiltInSynth(const std::string& soundFont, const std::vector<std::string>& drivers,
                                             std::chrono::milliseconds restAfter)
{
    quietenFluidSynthLog();
    // Checking the file's header is quick; a file that is no SoundFont fails
    // the open here rather than leaving a synthesizer that never sounds.
    if (soundFont.empty() || !fluid_is_soundfont(soundFont.c_str()))
        return nullptr;
    std::unique_ptr<SynthEngine> engine = ParkedEngine::instance().take(soundFont);
    const bool loaded = engine != nullptr;
    if (!engine)
        engine = std::make_unique<SynthEngine>();
    if (!engine->isValid())
        return nullptr;
    auto synth = std::make_unique<BuiltInSynth>(std::move(engine), soundFont, loaded, restAfter);
    if (!synth->startAudio(drivers))
        return nullptr;
    synth->startSounding();
    return synth;
}
