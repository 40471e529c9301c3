#include "play/midi_recorder.h"
#include "play/system_midi_devices.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

std::vector<std::string> linesOf(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(MidiLog, AppendsOneLinePerMessageAndPassesItOn)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("midi.log").toStdString();
    std::ofstream(path) << "earlier run\n";

    auto inner = std::make_unique<MidiRecorder>();
    MidiRecorder* device = inner.get();
    std::unique_ptr<MidiOutput> logged = withMidiLog(std::move(inner), path.c_str());
    ASSERT_NE(logged.get(), device);
    logged->setVolume(kMidiVolumeFull);
    logged->send(midiMessage(0xC0, 108, 0));
    logged->send(midiMessage(0x90, 60, 100));
    EXPECT_EQ(device->volume(), kMidiVolumeFull);
    EXPECT_EQ(device->messages().size(), 2u);
    logged->prepareProgram(108); // passed on, not logged: it sends nothing
    EXPECT_EQ(device->preparedProgram(), 108);
    logged->close();
    EXPECT_TRUE(device->isClosed());
    logged->send(midiMessage(0x90, 60, 0)); // after the close: neither sent nor logged

    const std::vector<std::string> lines = linesOf(path);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "earlier run");
    long long first = -1, second = -1;
    char rest[32] = {};
    ASSERT_EQ(std::sscanf(lines[1].c_str(), "%lld %31[^\n]", &first, rest), 2);
    EXPECT_STREQ(rest, "C0 6C 00");
    ASSERT_EQ(std::sscanf(lines[2].c_str(), "%lld %31[^\n]", &second, rest), 2);
    EXPECT_STREQ(rest, "90 3C 64");
    EXPECT_GE(first, 0);
    EXPECT_GE(second, first);
}

TEST(MidiLog, WithoutAUsableFileTheDeviceIsUsedAsItIs)
{
    for (const char* logFile : {static_cast<const char*>(nullptr), "", "/nonexistent/dir/midi.log"}) {
        auto inner = std::make_unique<MidiRecorder>();
        MidiRecorder* device = inner.get();
        EXPECT_EQ(withMidiLog(std::move(inner), logFile).get(), device) << (logFile ? logFile : "null");
    }
    EXPECT_EQ(withMidiLog(nullptr, "/tmp/unused.log"), nullptr);
}

} // namespace
