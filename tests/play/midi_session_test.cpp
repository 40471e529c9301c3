#include "fake_midi_devices.h"
#include "recording_sink.h"

#include "play/midi_session.h"

#include <gtest/gtest.h>

#include <future>
#include <mutex>

namespace {

struct SessionTest : ::testing::Test {
    CleanSettings settings;
    RecordingSink sink;
    FakeMidiDevices devices;
    MidiSession session{sink, devices};
};

TEST_F(SessionTest, FreshSettingsOpenTheSynthesizerWithCelestaAtFullVolume)
{
    ASSERT_TRUE(session.OpenMidiOutput());
    EXPECT_EQ(devices.openedIds, std::vector<int>{-1});
    EXPECT_EQ(session.midiDevice(), -1);
    EXPECT_EQ(session.midiInstrument(), 9);
    EXPECT_EQ(session.mute(), 0);
    EXPECT_EQ(devices.opened.at(0)->volume(), 0xFFFFFFFFu);
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(SessionTest, StoredNumbersReadByTheirLeadingInteger)
{
    struct Row {
        const char* device;
        const char* instrument;
        int wantDevice;
        int wantInstrument;
    };
    const Row rows[] = {
        {"", "", -1, 9},          // empty text counts as missing
        {"2", "109", 2, 109},
        {"  +3xyz", " 12 ", 3, 12},
        {"abc", "-5", 0, -5},     // no digits read as 0
    };
    for (const Row& row : rows) {
        CleanSettings::set("MidiDevice", row.device);
        CleanSettings::set("MidiInstrument", row.instrument);
        session.OpenMidiOutput();
        EXPECT_EQ(session.midiDevice(), row.wantDevice) << row.device;
        EXPECT_EQ(session.midiInstrument(), row.wantInstrument) << row.instrument;
        EXPECT_EQ(devices.opened.back()->preparedProgram(), (row.wantInstrument - 1) & 0x7F)
            << "the device readies the program PlayChord will ask for";
    }
}

TEST_F(SessionTest, FailedOpenSaysSoOnceAndKeepsTheOutputItHad)
{
    ASSERT_TRUE(session.OpenMidiOutput());
    const auto first = session.midiOut();

    devices.failing.insert(4);
    CleanSettings::set("MidiDevice", "4");
    EXPECT_FALSE(session.OpenMidiOutput());
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Unable to open MIDI Output.\n"});
    EXPECT_EQ(session.midiOut(), first);
    EXPECT_EQ(session.midiDevice(), 4);

    // Closed first, as the program does, a failed reopen leaves no output.
    session.CloseMidiOutput();
    EXPECT_FALSE(session.OpenMidiOutput());
    EXPECT_EQ(session.midiOut(), nullptr);
}

// Every Stop reopens the output: a device that keeps failing is named once,
// and again after it worked, or when the user chooses it again.
TEST_F(SessionTest, AFailingDeviceIsSaidOnceUntilItWorksOrIsChosenAgain)
{
    struct Step {
        bool fails;
        bool chosenAgain;
        size_t messagesAfter;
    };
    const Step steps[] = {
        {true, false, 1}, {true, false, 1}, {true, false, 1}, {true, false, 1}, // start-up and three Stops
        {false, false, 1}, {true, false, 2}, {true, false, 2},                  // worked, then failed
        {true, true, 3},                                                         // MIDI Setup
    };
    CleanSettings::set("MidiDevice", "4");
    for (const Step& step : steps) {
        if (step.fails)
            devices.failing.insert(4);
        else
            devices.failing.erase(4);
        if (step.chosenAgain)
            session.sayNextFailure();
        session.CloseMidiOutput();
        EXPECT_EQ(session.OpenMidiOutput(), !step.fails);
        EXPECT_EQ(sink.messages.size(), step.messagesAfter);
    }
}

TEST_F(SessionTest, CloseSilencesEveryChannelThenCloses)
{
    session.OpenMidiOutput();
    session.CloseMidiOutput();
    const auto& recorder = *devices.opened.at(0);
    const auto sent = recorder.messages();
    ASSERT_EQ(sent.size(), 16u);
    for (int channel = 0; channel < 16; ++channel)
        EXPECT_EQ(sent[size_t(channel)].message, midiMessage(0xB0 | channel, 123, 0));
    EXPECT_TRUE(recorder.isClosed());
    EXPECT_EQ(session.midiOut(), nullptr);
}

TEST_F(SessionTest, OutputKeptAcrossACloseSendsIntoNothing)
{
    session.OpenMidiOutput();
    const std::shared_ptr<MidiOutput> kept = session.midiOut(); // as a playback thread holds it
    session.CloseMidiOutput();
    kept->send(midiMessage(0x90, 60, 100));
    EXPECT_EQ(devices.opened.at(0)->messages().size(), 16u);
}

TEST_F(SessionTest, OpeningAgainWithoutACloseReleasesTheOldDevice)
{
    session.OpenMidiOutput();
    session.OpenMidiOutput();
    ASSERT_EQ(devices.opened.size(), 2u);
    EXPECT_TRUE(devices.opened[0]->isClosed());
    EXPECT_FALSE(devices.opened[1]->isClosed());
}

// Stop's restart runs on the session's thread: it returns while the old
// output is still closing. A preview sent meanwhile plays on the new output
// as soon as it is open, and restarts asked for meanwhile make one more.
TEST_F(SessionTest, RestartReturnsAtOnceAndKeepsWhatIsSentMeanwhile)
{
    session.OpenMidiOutput();
    std::promise<void> closing, release;
    std::shared_future<void> released = release.get_future().share();
    devices.whileClosing = [&, first = std::make_shared<std::once_flag>()] {
        std::call_once(*first, [&] {
            closing.set_value();
            released.wait();
        });
    };
    session.restartOutput(); // returns although the close cannot end yet
    closing.get_future().wait();
    const MidiMessage preview = midiMessage(0x90, 64, 100);
    session.midiOut()->send(preview);
    session.restartOutput();
    session.restartOutput();
    release.set_value();
    session.waitForOutput();

    ASSERT_EQ(devices.opened.size(), 3u) << "the first, one reopened while closing, one more";
    EXPECT_TRUE(devices.opened[0]->isClosed());
    EXPECT_TRUE(devices.opened[1]->isClosed());
    const auto sent = devices.opened[2]->messages();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].message, preview);
    session.midiOut()->send(preview); // what comes later goes straight on
    EXPECT_EQ(devices.opened[2]->messages().size(), 2u);
}

TEST_F(SessionTest, MuteIsReadOnlyWhenAsked)
{
    CleanSettings::set("Mute", "1");
    session.OpenMidiOutput();
    EXPECT_EQ(session.mute(), 0);
    session.readMute();
    EXPECT_EQ(session.mute(), 1);
    CleanSettings::set("Mute", "0");
    session.CloseMidiOutput();
    session.OpenMidiOutput();
    EXPECT_EQ(session.mute(), 1) << "reopening does not read it again";
    session.readMute();
    EXPECT_EQ(session.mute(), 0) << "the stored value had changed";
}

} // namespace
