#include "play/builtin_synth.h"

#include "play/held_messages.h"
#include "play/kept_synth.h"
#include "play/play_clock.h"
#include "play/synth_audio.h"
#include "play/synth_engine.h"

#include <QCoreApplication>

#include <fluidsynth.h>

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

constexpr int kProgramChange = 0xC0;
constexpr int kDrumChannel = 9; // channel 10, where General MIDI keeps its kits

bool isNoteOn(MidiMessage message)
{
    return (midiStatus(message) & 0xF0) == 0x90 && midiData2(message) != 0;
}

class BuiltInSynth : public MidiOutput {
public:
    // loaded: the engine holds soundFont already.
    BuiltInSynth(std::unique_ptr<SynthAudio> audio, std::string soundFont, bool loaded)
        : m_audio(std::move(audio)), m_soundFont(std::move(soundFont)), m_loaded(loaded)
    {
    }
    ~BuiltInSynth() override { close(); }

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
            engine().setVolume(volume);
    }

    // Loading a program's samples takes a while: the loader does it, and
    // what is sent meanwhile waits for it.
    void prepareProgram(int program) override
    {
        std::lock_guard lock(m_mutex);
        if (m_closed)
            return;
        m_program = program & 0x7F;
        if (m_loading || !m_loaded || engine().program(0) == m_program)
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
        if (m_loading || !m_loaded || engine().program(kDrumChannel) >= 0)
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
        if (m_loaded)
            KeptSynth::builtIn().keep(m_soundFont, std::move(m_audio));
        m_audio.reset();
    }

private:
    // Until the close.
    SynthEngine& engine() const { return m_audio->engine(); }

    // With m_mutex held.
    void play(MidiMessage message)
    {
        engine().play(message);
        if (isNoteOn(message))
            m_audio->noteGiven();
    }

    // With m_mutex held.
    void becomeReady()
    {
        engine().setVolume(m_volume);
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
        const bool loaded = loadedBefore || engine().loadSoundFont(m_soundFont);
        int tried = -1;
        bool drumsTried = false;
        for (;;) {
            MidiMessage next = 0;
            {
                std::lock_guard lock(m_mutex);
                m_loaded = loaded;
                const int program = m_program;
                const bool programDone = program < 0 || program == tried || engine().program(0) == program;
                const bool drumsDone = !m_drums || drumsTried || engine().program(kDrumChannel) >= 0;
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
            engine().play(next);
        }
    }

    std::unique_ptr<SynthAudio> m_audio; // kept at the close for the next open
    const std::string m_soundFont;
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

std::string builtInSoundFont()
{
    return findSoundFont(std::getenv("ZOLVA_SOUNDFONT"), usualSoundFontPaths());
}

std::unique_ptr<MidiOutput> openBuiltInSynth()
{
    return openBuiltInSynth(builtInSoundFont(), audioDrivers());
}

std::unique_ptr<MidiOutput> openBuiltInSynth(const std::string& soundFont, const std::vector<std::string>& drivers,
                                             std::chrono::milliseconds restAfter)
{
    quietenFluidSynthLog();
    // Checking the file's header is quick; a file that is no SoundFont fails
    // the open here rather than leaving a synthesizer that never sounds.
    if (soundFont.empty() || !fluid_is_soundfont(soundFont.c_str()))
        return nullptr;
    KeptSynth& kept = KeptSynth::builtIn();
    // The same device reopened with the same settings, as after every Stop:
    // the kept engine and output, at once.
    std::unique_ptr<SynthAudio> audio = kept.take(soundFont, drivers, restAfter);
    bool loaded = audio != nullptr;
    if (!audio) {
        std::unique_ptr<SynthEngine> engine = kept.takeEngine(soundFont);
        loaded = engine != nullptr;
        if (!engine)
            engine = std::make_unique<SynthEngine>();
        if (!engine->isValid())
            return nullptr;
        audio = SynthAudio::start(std::move(engine), drivers, restAfter);
        if (!audio)
            return nullptr;
    }
    auto synth = std::make_unique<BuiltInSynth>(std::move(audio), soundFont, loaded);
    synth->startSounding();
    return synth;
}
