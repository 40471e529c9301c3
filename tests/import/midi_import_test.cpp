// MIDI files into tablature: the rhythm rules, one row each, the grid that
// keeps onsets where the file has them, and the rhythm simplified.
#include "import_fixture.h"
#include "midi_bytes.h"

#include "import/chord_timeline.h"
#include "import/note_values.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <utility>

namespace {

constexpr int kTpq = 480;
// Key numbers and their tines on the 17-tine kalimba in C.
constexpr int C4 = 60, D4 = 62, E4 = 64, F4 = 65, G4 = 67; // tines 9, 8, 10, 7, 11

struct RhythmRow {
    const char* rule;
    std::vector<TestNote> notes;
    MidiTrack meta; // tempo and time signatures
    const char* music;
};

// Files a player's tools write in ways of their own: running status, note-on
// with velocity 0 for note-off, format 0 with several channels, SMPTE time,
// and a file cut short in its last track, which players read up to the cut.
TEST(MidiImport, FileVariants)
{
    const auto bytes = [](std::initializer_list<int> values) {
        std::vector<char> out;
        for (int v : values)
            out.push_back(char(v));
        return out;
    };
    // Quarter C4, D4 on channel 1 and a half E4 on channel 2 against them, in running status.
    const std::vector<char> format0 = bytes({'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k', 0, 0,
                                             0, 26, 0, 0x90, 60, 80, 0, 0x91, 64, 80, 96, 0x90, 60, 0, 0, 62, 80, 96, 62,
                                             0, 0, 0x81, 64, 0, 0, 0xFF, 0x2F, 0});
    // 25 frames of 40 ticks a second: 500 ticks a quarter at 120 a minute.
    // Controllers, pitch bends, system exclusive messages and their escapes between the notes.
    MidiTrack busy = noteEvents({{60, 0, 480}, {62, 480, 960}});
    busy.push_back({0, {0xB0, 7, 100}});
    busy.push_back({240, {0xE0, 0, 64}});
    busy.push_back({300, {0xF0, 3, 0x7E, 0x7F, 0xF7}});
    busy.push_back({600, {0xF7, 2, 0xF3, 0x01}});
    busy.push_back({700, {0xFF, 0x51, 2, 7, 0xA1}}); // a tempo of two bytes is no tempo
    // The last note's note-off cut after its status byte, and the end of the track lost.
    std::vector<char> cutShort = midiFile(1, 480, {noteEvents({{60, 0, 480}, {62, 480, 480}, {64, 960, 960}})});
    cutShort.resize(cutShort.size() - 6);
    std::vector<char> smpte = midiFile(1, 0, {noteEvents({{60, 0, 500}, {62, 500, 1000}})});
    smpte[12] = char(-25);
    smpte[13] = 40;
    const struct {
        const char* rule;
        std::vector<char> file;
        size_t voices;
        const char* music;
    } rows[] = {
        {"format 0 is split by channel", format0, 2, "|M4/4 T120 4[9] 4[8] |"},
        {"SMPTE time", smpte, 1, "|M4/4 T120 4[9] 2[8] |"},
        {"events that are not read", midiFile(1, 480, {busy}), 1, "|M4/4 T120 4[9] 2[8] |"},
        {"the last track cut short is read as far as it goes", cutShort, 1, "|M4/4 T120 4[9] 4[8] 2[10] |"},
    };
    for (const auto& row : rows) {
        const Imported imported = importBytes(row.file);
        ASSERT_TRUE(imported.ok) << row.rule;
        EXPECT_EQ(imported.piece.voices.size(), row.voices) << row.rule;
        EXPECT_EQ(imported.music(), row.music) << row.rule;
    }
}

// Names and notices only label the piece: megabytes of them are cut to a
// kilobyte, before a character that would not fit whole, and read at once.
TEST(MidiImport, LongNamesAreCut)
{
    const std::string name = std::string(1023, 'a') + "\xC3\xA9" + std::string(3'000'000, 'b');
    const std::string notice = std::string(2'000'000, 'c');
    MidiTrack notes = noteEvents({{C4, 0, 480}});
    notes.push_back(textEvent(0, 0x02, notice));
    const Imported imported = importBytes(midiFile(1, kTpq, {{textEvent(0, 0x03, name)}, notes}));
    ASSERT_TRUE(imported.ok);
    EXPECT_EQ(imported.piece.title, std::string(1023, 'a'));
    EXPECT_EQ(imported.piece.rights, std::string(1024, 'c'));
}

TEST(MidiImport, RhythmRules)
{
    const RhythmRow rows[] = {
        {"quarters", {{C4, 0, 480}, {D4, 480, 480}, {E4, 960, 480}, {F4, 1440, 480}}, {},
         "|M4/4 T120 4[9] 4[8] 4[10] 4[7] |"},
        {"notes within a 32nd of a quarter make one chord", {{C4, 0, 960}, {E4, 14, 946}, {D4, 960, 960}}, {},
         "|M4/4 T120 2[9,10] 2[8] |"},
        {"dotted and double-dotted values", {{C4, 0, 720}, {D4, 720, 240}, {E4, 960, 840}, {F4, 1800, 120}}, {},
         "|M4/4 T120 4.[9] 8[8] 4..[10] 16[7] |"},
        {"triplets", {{C4, 0, 160}, {D4, 160, 160}, {E4, 320, 160}, {F4, 480, 480}, {C4, 960, 960}}, {},
         "|M4/4 T120 8[9]F 8[8]Y 8[10]L 4[7] 2[9] |"},
        {"a note across the bar line is split and tied", {{C4, 0, 1440}, {D4, 1440, 960}}, {},
         "|M4/4 T120 2.[9] 4[8]~ | 4[8] |"},
        {"a gap becomes a rest", {{C4, 0, 480}, {D4, 960, 480}}, {}, "|M4/4 T120 4[9] r4 4[8] |"},
        {"silence before the first note is a rest", {{C4, 960, 480}}, {}, "|M4/4 T120 r2 4[9] |"},
        {"a note released early keeps its value", {{C4, 0, 430}, {D4, 480, 430}}, {}, "|M4/4 T120 4[9] 4[8] |"},
        {"onsets off the beat are put on the grid", {{C4, 7, 470}, {D4, 475, 485}, {E4, 966, 470}, {F4, 1437, 500}},
         {}, "|M4/4 T120 4[9] 4[8] 4[10] 4[7] |"},
        {"tempo and time signatures",
         {{C4, 0, 480}, {D4, 480, 480}, {E4, 960, 480}, {F4, 1440, 480}, {C4, 1920, 480}, {D4, 2400, 480}},
         {meterEvent(0, 3, 2), tempoEvent(0, 600000), meterEvent(1440, 2, 2), tempoEvent(1440, 400000)},
         "|M3/4 T100 4[9] 4[8] 4[10] |M2/4 T150 4[7] 4[9] | 4[8] |"},
        {"a tempo change inside a measure goes on its note", {{C4, 0, 480}, {D4, 480, 480}},
         {tempoEvent(480, 750000)}, "|M4/4 T120 4[9] 4[8] T80 |"},
        {"a time signature inside a measure starts a new one", {{C4, 0, 480}, {D4, 480, 480}, {E4, 960, 480}},
         {meterEvent(480, 2, 2)}, "|M4/4 T120 4[9] |M2/4 manual 4[8] 4[10] |"},
        {"a tempo change inside a held note splits it", {{C4, 0, 1920}, {D4, 1920, 1920}}, {tempoEvent(960, 1000000)},
         "|M4/4 T120 2[9]~ 2[9] T60 | 1[8] |"},
    };
    for (const RhythmRow& row : rows) {
        MidiTrack track = noteEvents(row.notes);
        track.insert(track.end(), row.meta.begin(), row.meta.end());
        const Imported imported = importBytes(midiFile(1, kTpq, {track}));
        ASSERT_TRUE(imported.ok) << row.rule;
        EXPECT_EQ(imported.music(), row.music) << row.rule;
    }
}

// Times are rounded halves away from zero, so that a time halfway between two
// points of a grid is read the same wherever it lies in the piece.
TEST(MidiImport, HalvesRoundUp)
{
    const struct {
        int64_t ticks;
        int ticksPerQuarter;
        int64_t units;
    } times[] = {
        {1, 384, 1},  {3, 384, 2}, {5, 384, 3}, {1, 480, 0},
        {480, 480, kUnitsPerQuarter}, {int64_t(1) << 50, 1, kUnitsPerQuarter << 50}, // past a double's fractions
    };
    for (const auto& t : times)
        EXPECT_EQ(unitsOfTicks(t.ticks, t.ticksPerQuarter), t.units) << t.ticks << "/" << t.ticksPerQuarter;
    // Halfway between 64ths, as far from the nearest triplet point: the later 64th.
    EXPECT_EQ(onOnsetGrid(6.0), 12);
    EXPECT_EQ(onOnsetGrid(102.0), 108);
}

// Written onsets, in units, of the notes that are struck (not tied over).
std::vector<int64_t> struckOnsets(const Imported& imported)
{
    std::vector<int64_t> onsets;
    const std::string music = imported.music();
    int64_t at = 0;
    bool tied = false;
    for (size_t i = 0; i < music.size();) {
        size_t end = music.find(' ', i);
        if (end == std::string::npos)
            end = music.size();
        const std::string token = music.substr(i, end - i);
        i = end + 1;
        if (token.empty() || token[0] == '|' || token[0] == 'T' || token[0] == 'm')
            continue;
        const bool rest = token[0] == 'r';
        const int number = std::atoi(token.c_str() + (rest ? 1 : 0));
        if (number <= 0)
            continue;
        const size_t dots = token.find("..") != std::string::npos ? 2 : token.find('.') != std::string::npos ? 1 : 0;
        int64_t length = 4 * kUnitsPerQuarter / number;
        length = dots == 2 ? length * 7 / 4 : dots == 1 ? length * 3 / 2 : length;
        if (token.find("]F") != std::string::npos || token.find("]Y") != std::string::npos ||
            token.find("]L") != std::string::npos)
            length = length * 2 / 3;
        if (!rest && !tied)
            onsets.push_back(at);
        tied = !rest && token.find('~') != std::string::npos;
        at += length;
    }
    return onsets;
}

// However the file's onsets lie, each written one stays within half a step
// of the grid it lands on (a 64th, or a triplet 32nd) of the file's own:
// rounding never builds on rounding, even with the first note off the grid
// and plain and triplet values mixed finer than 16ths.
TEST(MidiImport, OnsetsStayOnTheFilesTime)
{
    std::mt19937 random(21);
    std::vector<TestNote> notes;
    std::vector<double> exact; // units
    uint32_t tick = 48;
    const int keys[] = {C4, D4, E4, F4};
    const uint32_t steps[] = {60, 80, 120, 160, 240, 320, 480};
    for (int i = 0; i < 400; ++i) {
        const uint32_t step = steps[random() % 7] + random() % 7; // drifting a little
        notes.push_back({keys[random() % 4], tick, step - 20});
        exact.push_back(double(tick) * double(kUnitsPerQuarter) / kTpq);
        tick += step;
    }
    const Imported imported = importBytes(midiFile(0, kTpq, {noteEvents(notes)}));
    ASSERT_TRUE(imported.ok);
    const std::vector<int64_t> onsets = struckOnsets(imported);
    ASSERT_EQ(onsets.size(), exact.size());
    constexpr int64_t kTripletStep = kUnitsPerQuarter / 12, kPlainStep = kUnitsPerQuarter / 16;
    for (size_t i = 0; i < onsets.size(); ++i) {
        const int64_t step = onsets[i] % kTripletStep == 0 ? kTripletStep : kPlainStep;
        ASSERT_LE(std::abs(double(onsets[i]) - exact[i]), double(step) / 2) << "note " << i;
    }
}

// Tempo changes: tick, microseconds a quarter.
using Tempos = std::vector<std::pair<uint32_t, uint32_t>>;

// Milliseconds from the start to tick, at 120 a minute until the first change.
double msAtTick(double tick, const Tempos& tempos)
{
    double ms = 0, at = 0, micros = 500000;
    for (const auto& [change, to] : tempos) {
        if (change >= tick)
            break;
        ms += (change - at) * micros / 1000 / kTpq;
        at = change;
        micros = to;
    }
    return ms + (tick - at) * micros / 1000 / kTpq;
}

// Played music simplified: plain values, every note struck within 30 ms of
// where the file has it, by the file's tempos.
TEST(MidiImport, SimplifiedRhythm)
{
    const struct {
        const char* rule;
        std::vector<TestNote> notes;
        Tempos tempos;
        const char* music;
    } rows[] = {
        {"a swung melody",
         {{C4, 0, 300}, {D4, 330, 140}, {E4, 475, 310}, {F4, 795, 150}, {C4, 960, 300}, {D4, 1285, 150},
          {E4, 1445, 460}},
         {{0, 600000}}, "|M4/4 T100 4[9]F 8[8]Y 4[10]Y 8[7]Y 4[9]Y 8[8]L 4[10] |"},
        {"a grace note before the beat, which joins its note at a quick tempo",
         {{C4, 0, 420}, {D4, 440, 35}, {E4, 480, 460}, {F4, 960, 900}, {C4, 1920, 420}, {D4, 2360, 35},
          {E4, 2400, 460}, {F4, 2880, 900}},
         {{0, 500000}, {1920, 250000}}, "|M4/4 T120 8..[9] 32[8] 4[10] 2[7] | T240 4[9] 4[8,10] 2[7] |"},
        {"a spread chord", {{C4, 0, 940}, {E4, 13, 925}, {G4, 26, 910}, {D4, 960, 900}}, {},
         "|M4/4 T120 2[9,10,11] 2[8] |"},
        {"a first note on a triplet, where no triplet rest can lead to it", {{C4, 160, 300}, {D4, 480, 460}}, {},
         "|M4/4 T120 r16. 8[9]~ 32[9] 4[8] |"},
    };
    ImportChoice simplified;
    simplified.rhythm = ImportRhythm::Simplified;
    for (const auto& row : rows) {
        MidiTrack track = noteEvents(row.notes);
        for (const auto& [tick, micros] : row.tempos)
            track.push_back(tempoEvent(tick, micros));
        const Imported imported = importBytes(midiFile(1, kTpq, {track}), simplified);
        ASSERT_TRUE(imported.ok) << row.rule;
        EXPECT_EQ(imported.music(), row.music) << row.rule;
        const std::vector<int64_t> onsets = struckOnsets(imported);
        for (const TestNote& note : row.notes) {
            const double ms = msAtTick(note.start, row.tempos);
            const bool near = std::any_of(onsets.begin(), onsets.end(), [&](int64_t units) {
                return std::abs(msAtTick(double(units) * kTpq / kUnitsPerQuarter, row.tempos) - ms) <= 30;
            });
            EXPECT_TRUE(near) << row.rule << ": the note at tick " << note.start;
        }
    }
}

} // namespace
