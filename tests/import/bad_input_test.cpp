// Files that cannot be imported: each gives its message, naming the file, and
// nothing crashes or waits. Also how the kind of a file is judged.
#include "import_fixture.h"
#include "midi_bytes.h"
#include "musicxml_text.h"

#include "import/source_kind.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

std::vector<char> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

struct BadRow {
    const char* rule;
    std::vector<char> bytes;
    ImportChoice choice;
    const char* message;
};

TEST(BadImport, ClearMessages)
{
    ImportChoice noTines;
    noTines.tines = {"", ""};
    ImportChoice thirdTrack;
    thirdTrack.voice = 2;
    // Cut inside the first of two tracks: only the last may be cut short.
    std::vector<char> cut = midiFile(1, 480, {noteEvents({{60, 0, 480}}), noteEvents({{62, 0, 480}})});
    cut.resize(14 + 8 + 5);
    const std::string noNotes = xmlScore({xmlRest(48)});
    const BadRow rows[] = {
        {"a damaged MIDI file", bytesOf("MThd\0\0\0\6garbage"), {}, "Cannot import song: the MIDI file is damaged."},
        {"a MIDI file cut short before its last track", cut, {}, "Cannot import song: the MIDI file is damaged."},
        {"format 2", midiFile(2, 480, {noteEvents({{60, 0, 480}})}), {},
         "Cannot import song: the MIDI file is of format 2; formats 0 and 1 can be read."},
        {"only percussion", midiFile(0, 480, {noteEvents({{38, 0, 480}}, 9)}), {},
         "Cannot import song: the MIDI file holds only percussion (channel 10)."},
        {"no notes at all", midiFile(1, 480, {{textEvent(0, 0x03, "Silence")}}), {},
         "Cannot import song: the MIDI file has no notes."},
        {"a track that does not exist", midiFile(1, 480, {noteEvents({{60, 0, 480}})}), thirdTrack,
         "Cannot import song: the file has no such track or part."},
        {"no tines at all", midiFile(1, 480, {noteEvents({{60, 0, 480}})}), noTines,
         "Cannot import song: track 1 has no notes that a tine can play."},
        {"MusicXML without notes", bytesOf(noNotes), {}, "Cannot import song: the MusicXML has no notes."},
        {"MusicXML that is not XML", bytesOf("<score-partwise><part>"), {},
         "Cannot import song: the MusicXML is not valid XML at line 1."},
        {"a measure longer than any time signature",
         bytesOf(xmlScore({xmlNote("C", 4, 12, "quarter") + "<forward><duration>12000000</duration></forward>"})), {},
         "Cannot import song: measure 1 of part 1 is longer than 64 whole notes."},
        {"timewise MusicXML", bytesOf("<score-timewise/>"), {},
         "Cannot import song: the MusicXML is timewise; only partwise scores can be read."},
        {"a damaged ZIP", bytesOf("PK\3\4 not really"), {}, "Cannot import song: the compressed MusicXML file is damaged."},
        {"one note a lifetime after another",
         midiFile(1, 1, {noteEvents({{60, 0, 1}, {62, 0x0FFFFFFF, 1}})}), {},
         "Cannot import song: the music is too long, more than 1032 bars."},
    };
    for (const BadRow& row : rows) {
        const auto began = std::chrono::steady_clock::now();
        const Imported imported = importBytes(row.bytes, row.choice);
        EXPECT_FALSE(imported.ok) << row.rule;
        EXPECT_EQ(imported.messages, std::vector<std::string>{row.message}) << row.rule;
        EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(5)) << row.rule;
    }
}

TEST(BadImport, KindByContent)
{
    const struct {
        std::string bytes;
        SourceKind kind;
    } rows[] = {
        {"MThd\0\0\0\6", SourceKind::Midi},
        {"\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!-- made by hand -->\n<!DOCTYPE score-partwise [ <!ENTITY a \"b\"> ]>"
         "\n<score-partwise version=\"4.0\">",
         SourceKind::MusicXml},
        {"<score-timewise>", SourceKind::MusicXml},
        {"PK\3\4", SourceKind::CompressedMusicXml},
        {"<?xml version=\"1.0\"?><Zolva Version=\"1.0.14\">", SourceKind::MusicFile},
        {"KT\3\4", SourceKind::MusicFile},
        {"<score-partwise-not>", SourceKind::MusicFile},
        {"", SourceKind::MusicFile},
    };
    for (const auto& row : rows)
        EXPECT_EQ(sourceKindOf(row.bytes.data(), row.bytes.size()), row.kind) << row.bytes;
}

// Where the bytes say nothing, the name says what the file should have been,
// so that the reader can say it is not.
TEST(BadImport, KindByNameOnlyWhenTheBytesSayNothing)
{
    const struct {
        std::string bytes;
        const char* name;
        SourceKind kind;
    } rows[] = {
        {"hello", "song.MID", SourceKind::Midi},
        {"hello", "song.midi", SourceKind::Midi},
        {"hello", "song.musicxml", SourceKind::MusicXml},
        {"hello", "song.mxl", SourceKind::CompressedMusicXml},
        {"hello", "song.xml", SourceKind::MusicFile},
        {"<Zolva Version=\"1.0.14\"/>", "song.mid", SourceKind::MusicFile},
        {"KT\3\4", "song.mxl", SourceKind::MusicFile},
        {"MThd", "song.zvm", SourceKind::Midi},
    };
    for (const auto& row : rows)
        EXPECT_EQ(sourceKindOf(row.bytes.data(), row.bytes.size(), row.name), row.kind) << row.name;
    const Imported notMidi = importBytes(bytesOf("hello"), {}, "song.mid");
    EXPECT_EQ(notMidi.messages, std::vector<std::string>{"Cannot import song.mid: not a MIDI file."});
}

} // namespace
