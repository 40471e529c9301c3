#include "fake_midi_devices.h"
#include "recording_sink.h"

#include "play/chord_sender.h"
#include "play/midi_session.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

std::vector<MidiMessage> messagesOf(const MidiRecorder& recorder)
{
    std::vector<MidiMessage> out;
    for (const RecordedMidiMessage& m : recorder.messages())
        out.push_back(m.message);
    return out;
}

constexpr MidiMessage on(int key) { return midiMessage(0x90, key, 100); }
constexpr MidiMessage off(int key) { return midiMessage(0x90, key, 0); }
constexpr MidiMessage program(int data) { return midiMessage(0xC0, data, 0); }

struct ChordTest : ::testing::Test {
    CleanSettings settings;
    RecordingSink sink;
    FakeMidiDevices devices;
    MidiSession session{sink, devices};

    MidiRecorder& open(const char* instrument = "")
    {
        CleanSettings::set("MidiInstrument", instrument);
        session.OpenMidiOutput();
        return *devices.opened.back();
    }
};

TEST_F(ChordTest, ExactMessagesOfChords)
{
    const std::vector<int> keys{60, 62, 64, 65, 72, 60};
    struct Row {
        const char* name;
        const char* instrument;
        int tineCount;
        std::vector<int> tines;
        std::vector<MidiMessage> want;
    };
    const Row rows[] = {
        {"default instrument is Celesta", "", 5, {1}, {program(8), on(60)}},
        {"Kalimba", "109", 5, {2}, {program(108), on(62)}},
        {"keys rise whatever the tine order", "", 5, {5, 1, 3}, {program(8), on(60), on(64), on(72)}},
        {"equal keys both sound", "", 6, {6, 1}, {program(8), on(60), on(60)}},
        {"tines outside 1 … count are ignored", "", 5, {0, 6, -1, 101, 2}, {program(8), on(62)}},
        {"an empty chord still changes program", "", 5, {}, {program(8)}},
        {"tines beyond the key table are ignored", "", 40, {7, 4}, {program(8), on(65)}},
    };
    for (const Row& row : rows) {
        MidiRecorder& recorder = open(row.instrument);
        PlayChord(session, keys, row.tineCount, true, row.tines);
        EXPECT_EQ(messagesOf(recorder), row.want) << row.name;
    }
}

TEST_F(ChordTest, DataBytesNeverLookLikeStatusBytes)
{
    const std::vector<int> keys{200, -1};
    MidiRecorder& recorder = open("0");
    PlayChord(session, keys, 2, true, std::vector<int>{1, 2});
    for (MidiMessage m : messagesOf(recorder)) {
        EXPECT_LT(midiData1(m), 0x80);
        EXPECT_LT(midiData2(m), 0x80);
    }
}

TEST_F(ChordTest, ThreeTinesStrumWith18msAfterEveryNoteTwoDoNot)
{
    using namespace std::chrono;
    const std::vector<int> keys{60, 64, 67};
    MidiRecorder& recorder = open();

    auto start = steady_clock::now();
    PlayChord(session, keys, 3, true, std::vector<int>{1, 2, 3});
    EXPECT_GE(steady_clock::now() - start, milliseconds(54)); // the pause after the last note too
    auto sent = recorder.messages();
    ASSERT_EQ(sent.size(), 4u);
    for (size_t i = 2; i < sent.size(); ++i)
        EXPECT_GE(sent[i].micros - sent[i - 1].micros, 18000);

    MidiRecorder& second = open();
    start = steady_clock::now();
    PlayChord(session, keys, 3, true, std::vector<int>{1, 2});
    // With pauses this would take 36 ms and the notes lie 18 ms apart.
    EXPECT_LT(steady_clock::now() - start, milliseconds(36));
    sent = second.messages();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_LT(sent[2].micros - sent[1].micros, 18000);
}

TEST_F(ChordTest, MuteSilencesPreviewsButNotPlayback)
{
    CleanSettings::set("Mute", "1");
    MidiRecorder& recorder = open();
    session.readMute();
    const std::vector<int> keys{60, 62};
    PlayChord(session, keys, 2, false, std::vector<int>{1});
    EXPECT_TRUE(recorder.messages().empty());
    PlayChord(session, keys, 2, true, std::vector<int>{1});
    EXPECT_EQ(messagesOf(recorder), (std::vector<MidiMessage>{program(8), on(60)}));
}

TEST_F(ChordTest, SilenceTinesCoversEveryTineInOrder)
{
    const std::vector<int> keys{67, 60, 64, 0};
    MidiRecorder& recorder = open();
    SilenceTines(session, keys, 4);
    EXPECT_EQ(messagesOf(recorder), (std::vector<MidiMessage>{off(67), off(60), off(64), off(0)}));

    MidiRecorder& clipped = open();
    SilenceTines(session, keys, 9); // more tines than keys: only the keys there are
    EXPECT_EQ(messagesOf(clipped).size(), 4u);
}

TEST_F(ChordTest, NothingToSendWithoutAnOutput)
{
    devices.failing.insert(-1);
    session.OpenMidiOutput();
    const std::vector<int> keys{60};
    PlayChord(session, keys, 1, true, std::vector<int>{1});
    SilenceTines(session, keys, 1);
    EXPECT_EQ(session.midiOut(), nullptr);
}

TEST(MidiMessageBytes, LengthFollowsTheStatus)
{
    using Bytes = std::vector<unsigned char>;
    EXPECT_EQ(midiMessageBytes(midiMessage(0x90, 60, 100)), (Bytes{0x90, 60, 100}));
    EXPECT_EQ(midiMessageBytes(midiMessage(0xB3, 123, 0)), (Bytes{0xB3, 123, 0}));
    // A third byte after a program change would read as a second change to 0.
    EXPECT_EQ(midiMessageBytes(midiMessage(0xC0, 108, 0)), (Bytes{0xC0, 108}));
    EXPECT_EQ(midiMessageBytes(midiMessage(0xD0, 5, 0)), (Bytes{0xD0, 5}));
    EXPECT_TRUE(midiMessageBytes(0x3C).empty());
    EXPECT_TRUE(midiMessageBytes(midiMessage(0xF8, 0, 0)).empty());
}

} // namespace
