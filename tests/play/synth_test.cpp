#include "play/builtin_synth.h"
#include "play/kept_synth.h"
#include "play/synth_audio.h"
#include "play/synth_engine.h"
#include "play/system_midi_devices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <fluidsynth.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <thread>

namespace {

// Debian's small General MIDI SoundFont (timgm6mb-soundfont).
const char* const kTestSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

std::vector<float> renderChord(SynthEngine& synth, int program, int frames)
{
    synth.play(midiMessage(0xC0, program, 0));
    for (int key : {60, 64, 67})
        synth.play(midiMessage(0x90, key, 100));
    std::vector<float> left(static_cast<size_t>(frames)), right(static_cast<size_t>(frames));
    synth.render(left.data(), right.data(), frames);
    synth.play(midiMessage(0xB0, 123, 0));
    return left;
}

double rms(const std::vector<float>& samples)
{
    double sum = 0;
    for (float s : samples)
        sum += double(s) * s;
    return std::sqrt(sum / double(samples.size()));
}

struct SynthEngineTest : ::testing::Test {
    SynthEngine synth;
    void SetUp() override { ASSERT_TRUE(synth.loadSoundFont(kTestSoundFont)); }
};

TEST_F(SynthEngineTest, ChordSoundsAndProgramChangeChangesIt)
{
    constexpr int kFrames = SynthEngine::kSampleRate / 2;
    const std::vector<float> celesta = renderChord(synth, 8, kFrames);
    SynthEngine other;
    ASSERT_TRUE(other.loadSoundFont(kTestSoundFont));
    const std::vector<float> kalimba = renderChord(other, 108, kFrames);

    EXPECT_GT(rms(celesta), 0.01);
    EXPECT_GT(rms(kalimba), 0.01);
    std::vector<float> difference(celesta.size());
    for (size_t i = 0; i < celesta.size(); ++i)
        difference[i] = celesta[i] - kalimba[i];
    EXPECT_GT(rms(difference), 0.25 * std::min(rms(celesta), rms(kalimba)));
}

TEST_F(SynthEngineTest, SilentWithoutNotesAndAtVolumeZero)
{
    std::vector<float> left(4096), right(4096);
    synth.render(left.data(), right.data(), 4096);
    EXPECT_LT(rms(left), 1e-6); // dither only

    synth.setVolume(0);
    EXPECT_LT(rms(renderChord(synth, 8, 4096)), 1e-6);
}

TEST_F(SynthEngineTest, SilenceCutsRingingNotesAtOnce)
{
    std::vector<float> left(4096), right(4096);
    const auto ringOn = [&](bool cut) {
        synth.play(midiMessage(0x90, 60, 100));
        synth.render(left.data(), right.data(), 4096);
        synth.play(midiMessage(0x90, 60, 0)); // released, still ringing
        if (cut)
            synth.silence();
        synth.render(left.data(), right.data(), 4096);
        return rms(left);
    };
    const double ringing = ringOn(false);
    synth.silence();
    EXPECT_LT(ringOn(true), 0.1 * ringing); // what is left is the reverb's tail
}

TEST(SynthEngine, RefusesWhatIsNoSoundFont)
{
    SynthEngine synth;
    EXPECT_FALSE(synth.loadSoundFont("/nonexistent/file.sf2"));
    EXPECT_FALSE(synth.loadSoundFont(ZOLVA_SOURCE_DIR "/CMakeLists.txt"));
}

TEST(SoundFontSearch, OverrideWinsOtherwiseFirstRealSoundFont)
{
    const std::string notOne = ZOLVA_SOURCE_DIR "/CMakeLists.txt";
    const std::vector<std::string> candidates{"/nonexistent.sf2", notOne, kTestSoundFont};
    EXPECT_EQ(findSoundFont(nullptr, candidates), kTestSoundFont);
    EXPECT_EQ(findSoundFont("", candidates), kTestSoundFont);
    EXPECT_EQ(findSoundFont("/my/own.sf2", candidates), "/my/own.sf2");
    EXPECT_EQ(findSoundFont(nullptr, {"/nonexistent.sf2", notOne}), "");
}

TEST(BuiltInSynth, OpenNeverStallsAndFailsForABadSoundFont)
{
    using namespace std::chrono;
    setenv("ZOLVA_SOUNDFONT", ZOLVA_SOURCE_DIR "/CMakeLists.txt", 1);
    EXPECT_EQ(openBuiltInSynth(), nullptr);

    // Without sound hardware this fails; with it, the SoundFont loads behind.
    setenv("ZOLVA_SOUNDFONT", kTestSoundFont, 1);
    const auto start = steady_clock::now();
    if (auto synth = openBuiltInSynth()) {
        synth->setVolume(kMidiVolumeFull);
        synth->send(midiMessage(0x90, 60, 100));
        synth->reset();
        synth->close();
    }
    EXPECT_LT(steady_clock::now() - start, seconds(2));
    unsetenv("ZOLVA_SOUNDFONT");
}

// FluidSynth's "file" driver stands in for a sound card: it plays in real
// time into "fluidsynth.wav" in the current folder.
struct FileAudioTest : ::testing::Test {
    QTemporaryDir dir;
    QString previous = QDir::currentPath();
    void SetUp() override
    {
        // An output kept from another test would go on writing in its folder.
        KeptSynth::builtIn().close();
        QDir::setCurrent(dir.path());
    }
    void TearDown() override { QDir::setCurrent(previous); }

    // Samples louder than a whisper in what the driver wrote.
    size_t loudSamples() const
    {
        std::ifstream wav(dir.filePath("fluidsynth.wav").toStdString(), std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(wav)), std::istreambuf_iterator<char>());
        size_t loud = 0;
        for (size_t i = 44; i + 1 < bytes.size(); i += 2) // past the header: 16-bit samples
            loud += std::abs(int16_t(uint8_t(bytes[i]) | uint8_t(bytes[i + 1]) << 8)) > 1000;
        return loud;
    }

    // The test SoundFont under a name of its own, so that no engine parked
    // by another test is taken; null when it cannot be linked or opened.
    std::unique_ptr<MidiOutput> openOwnSynth(const char* name) const
    {
        const QString soundFont = dir.filePath(name);
        if (!QFile::link(kTestSoundFont, soundFont))
            return nullptr;
        return openBuiltInSynth(soundFont.toStdString(), {"file"});
    }

    // Whether more than a thousand loud samples are written within two
    // seconds: the driver writes as it plays.
    bool soundsSoon() const
    {
        for (int i = 0; i < 40 && loudSamples() <= 1000; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return loudSamples() > 1000;
    }
};

TEST_F(FileAudioTest, LargeSoundFontLoadsBehindTheOpenAndANoteSentMeanwhileSoundsOnceItIsIn)
{
    using namespace std::chrono;
    const char* large = "/usr/share/sounds/sf2/FluidR3_GM.sf2";
    if (!QFileInfo::exists(large))
        GTEST_SKIP() << "fluid-soundfont-gm is not installed";
    const auto start = steady_clock::now();
    std::unique_ptr<MidiOutput> synth = openBuiltInSynth(large, {"file"});
    ASSERT_NE(synth, nullptr);
    synth->prepareProgram(108);
    synth->send(midiMessage(0xC0, 108, 0)); // before the load: held, no wait
    synth->send(midiMessage(0x90, 72, 100));
    EXPECT_LT(steady_clock::now() - start, milliseconds(100));
    EXPECT_TRUE(soundsSoon());
    synth->close();

    // Under a name of its own the file loads again rather than being taken
    // from the engine parked above.
    const QString again = dir.filePath("again.sf2");
    ASSERT_TRUE(QFile::link(large, again));
    openBuiltInSynth(again.toStdString(), {"file"})->close(); // while loading: waits for the loader
}

// FluidSynth's debug lines about presets and samples, with the thread that
// wrote each; FluidSynth loads a preset's samples as it selects it.
class SampleLog {
public:
    SampleLog()
    {
        quietenFluidSynthLog(); // once only: later calls leave this in place
        fluid_set_log_function(FLUID_DBG, collect, this);
    }
    ~SampleLog()
    {
        KeptSynth::builtIn().close(); // its threads would go on logging
        fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
    }

    // Lines that start with prefix, and whether each came from this thread.
    std::vector<std::pair<std::string, bool>> lines(const std::string& prefix) const
    {
        std::lock_guard lock(m_mutex);
        std::vector<std::pair<std::string, bool>> found;
        for (const auto& [line, thread] : m_lines) {
            if (line.rfind(prefix, 0) == 0)
                found.emplace_back(line, thread == m_testThread);
        }
        return found;
    }

private:
    static void collect(int, const char* message, void* data)
    {
        auto* log = static_cast<SampleLog*>(data);
        std::lock_guard lock(log->m_mutex);
        log->m_lines.emplace_back(message, std::this_thread::get_id());
    }

    mutable std::mutex m_mutex;
    std::vector<std::pair<std::string, std::thread::id>> m_lines;
    const std::thread::id m_testThread = std::this_thread::get_id();
};

TEST_F(FileAudioTest, OnlyTheProgramInUseIsInMemoryLoadedOnTheLoaderThread)
{
    using namespace std::chrono;
    SampleLog log;
    std::unique_ptr<MidiOutput> synth = openOwnSynth("own.sf2");
    ASSERT_NE(synth, nullptr);
    const auto playAfterPreparing = [&](int program) {
        synth->prepareProgram(program);
        synth->send(midiMessage(0xC0, program, 0));
        synth->send(midiMessage(0x90, 72, 100));
        std::this_thread::sleep_for(milliseconds(300));
    };
    playAfterPreparing(108);
    playAfterPreparing(8); // the instrument changed
    synth->close();

    using Lines = std::vector<std::pair<std::string, bool>>;
    EXPECT_EQ(log.lines("Selected preset"), (Lines{{"Selected preset 'Kalimba' on channel 0", false},
                                                   {"Selected preset 'Celesta' on channel 0", false}}));
    EXPECT_EQ(log.lines("Deselected preset"), (Lines{{"Deselected preset 'Kalimba' from channel 0", false}}));
    EXPECT_FALSE(log.lines("Unloading sample").empty()) << "the kalimba's samples are dropped";
    EXPECT_GT(loudSamples(), 1000u);
}

// The metronome's kit loads on the loader when asked for, not on the thread
// of the first click; asked for again, nothing loads twice.
TEST_F(FileAudioTest, TheDrumKitLoadsOnTheLoaderThread)
{
    using namespace std::chrono;
    SampleLog log;
    std::unique_ptr<MidiOutput> synth = openOwnSynth("drums.sf2");
    ASSERT_NE(synth, nullptr);
    synth->prepareDrums();
    synth->prepareDrums();
    synth->send(midiMessage(0x99, 76, 100)); // a click, held until the kit is in
    std::this_thread::sleep_for(milliseconds(300));
    synth->close();

    const auto selected = log.lines("Selected preset");
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_NE(selected[0].first.find("on channel 9"), std::string::npos) << selected[0].first;
    EXPECT_FALSE(selected[0].second) << "selected on the loader thread";
    EXPECT_GT(loudSamples(), 1000u);
}

TEST_F(FileAudioTest, OutputRestsAfterSilenceAndRestartsForTheNextNote)
{
    using namespace std::chrono;
    // Loaded beforehand: a load holds the synthesizer, and its voices, for a while.
    openBuiltInSynth(kTestSoundFont, {"file"})->close();
    std::unique_ptr<MidiOutput> synth = openBuiltInSynth(kTestSoundFont, {"file"}, milliseconds(200));
    ASSERT_NE(synth, nullptr);
    const QString wav = dir.filePath("fluidsynth.wav");
    bool atRest = false; // the file has stopped growing
    for (qint64 size = -1, i = 0; i < 25 && !atRest; ++i) {
        std::this_thread::sleep_for(milliseconds(200));
        atRest = QFileInfo(wav).size() == size;
        size = QFileInfo(wav).size();
    }
    EXPECT_TRUE(atRest) << "the output still writes";

    synth->send(midiMessage(0xC0, 108, 0));
    synth->send(midiMessage(0x90, 72, 100));
    // The restarted output began the file anew with the note in it.
    EXPECT_TRUE(soundsSoon());
    synth->close();
}

TEST_F(FileAudioTest, NotesSoundOnceTheSoundFontIsIn)
{
    std::unique_ptr<MidiOutput> synth = openBuiltInSynth(kTestSoundFont, {"no-such-driver", "file"});
    ASSERT_NE(synth, nullptr);
    synth->setVolume(kMidiVolumeFull);
    // Keep striking until the load is done and some sound has been written.
    for (int i = 0; i < 50; ++i) {
        synth->send(midiMessage(0xC0, 108, 0));
        synth->send(midiMessage(0x90, 72, 100));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    synth->reset();
    synth->close();
    synth->send(midiMessage(0x90, 72, 100)); // after the close: ignored
    EXPECT_GT(loudSamples(), 1000u);
}

TEST_F(FileAudioTest, ReopenSoundsAtOnceWithTheSoundFontKeptLoaded)
{
    openBuiltInSynth(kTestSoundFont, {"file"})->close(); // closes once the load is done
    std::unique_ptr<MidiOutput> synth = openBuiltInSynth(kTestSoundFont, {"file"});
    ASSERT_NE(synth, nullptr);
    synth->send(midiMessage(0xC0, 108, 0));
    synth->send(midiMessage(0x90, 72, 100)); // a fresh load would still be under way
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    synth->close();
    EXPECT_GT(loudSamples(), 1000u);
}

// A close keeps the engine and its running output, every sound cut, for an
// open with the same settings; other settings start an output of their own,
// and a MIDI port really closes what was kept. The file driver writes where
// it began, so a new output shows as a file in the folder of the reopen.
TEST_F(FileAudioTest, CloseKeepsTheOutputOnlyForAReopenWithTheSameSettings)
{
    using namespace std::chrono;
    struct Row {
        const char* what;
        std::vector<std::string> drivers; // of the reopen
        milliseconds restAfter;
        bool portBetween;
        bool kept;
    };
    const Row rows[] = {
        {"the same settings", {"file"}, kAudioRestAfter, false, true},
        {"other drivers", {"no-such-driver", "file"}, kAudioRestAfter, false, false},
        {"another rest time", {"file"}, milliseconds(200), false, false},
        {"a MIDI port opened between", {"file"}, kAudioRestAfter, true, false},
    };
    constexpr int kChurchOrgan = 19; // sounds for as long as its key is down
    for (const Row& row : rows) {
        KeptSynth& kept = KeptSynth::builtIn();
        kept.close();
        QTemporaryDir first, second;
        QDir::setCurrent(first.path());
        openBuiltInSynth(kTestSoundFont, {"file"})->close(); // loaded, so that what is sent sounds at once
        std::unique_ptr<MidiOutput> synth = openBuiltInSynth(kTestSoundFont, {"file"});
        ASSERT_NE(synth, nullptr);
        synth->send(midiMessage(0xC0, kChurchOrgan, 0));
        synth->send(midiMessage(0x90, 60, 100));
        synth->close(); // the key still down

        std::unique_ptr<SynthAudio> audio = kept.take(kTestSoundFont, {"file"}, kAudioRestAfter);
        ASSERT_NE(audio, nullptr) << row.what;
        for (int i = 0; i < 40 && audio->engine().soundingVoices() > 0; ++i)
            std::this_thread::sleep_for(milliseconds(50)); // the running output renders the cut
        EXPECT_EQ(audio->engine().soundingVoices(), 0) << row.what;
        kept.keep(kTestSoundFont, std::move(audio));

        SystemMidiDevices devices;
        if (row.portBetween)
            devices.open(0);
        QDir::setCurrent(second.path());
        synth = openBuiltInSynth(kTestSoundFont, row.drivers, row.restAfter);
        ASSERT_NE(synth, nullptr);
        EXPECT_EQ(QFileInfo::exists(second.filePath("fluidsynth.wav")), !row.kept) << row.what;
        synth->close();
        QDir::setCurrent(dir.path());
    }
}

TEST(SystemDevices, SynthesizerListedFirstWithoutStalling)
{
    using namespace std::chrono;
    const auto start = steady_clock::now();
    const std::vector<MidiDeviceInfo> devices = SystemMidiDevices().list();
    EXPECT_LT(steady_clock::now() - start, seconds(2));
    ASSERT_FALSE(devices.empty());
    EXPECT_EQ(devices[0].id, -1);
    EXPECT_EQ(devices[0].name, "Zolva Synthesizer (General MIDI)");
    for (size_t i = 1; i < devices.size(); ++i)
        EXPECT_EQ(devices[i].id, int(i - 1));
    EXPECT_EQ(SystemMidiDevices().open(int(devices.size()) - 1 + 1), nullptr); // past the last port
}

} // namespace
