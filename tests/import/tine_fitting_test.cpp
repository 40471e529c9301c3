// Fitting to the tines: the shift, octave moves, notes without a tine, the
// voice offered first, and what the status bar says about it.
#include "import_fixture.h"
#include "midi_bytes.h"

#include "import/tine_fitting.h"

#include <gtest/gtest.h>

namespace {

const std::vector<int> kC17 = parseTinePitches(defaultKalimba().noteValues);

struct FitRow {
    const char* rule;
    std::vector<int> pitches;
    int shift;
    int moved;
    int without;
    std::vector<int> tines;
};

TEST(TineFitting, ShiftOctavesAndMissingTines)
{
    const FitRow rows[] = {
        {"in C: no shift", {60, 62, 64}, 0, 0, 0, {9, 8, 10}},
        {"in D: down a tone", {62, 64, 66, 67, 69, 71, 73}, -2, 0, 0, {9, 8, 10, 7, 11, 6, 12}},
        {"an octave up fits as well as none: none, the smaller", {72, 76}, 0, 0, 0, {5, 4}},
        {"ties go upwards after the size", {66}, 1, 0, 0, {11}},
        {"below the tines: up an octave", {60, 64, 67, 72, 76, 79, 48}, 0, 1, 0, {9, 10, 11, 5, 4, 3, 9}},
        {"above the tines: down to the nearest", {60, 62, 64, 98}, 0, 1, 0, {9, 8, 10, 1}},
        {"a pitch class no tine has is left out", {60, 60, 62, 61}, 0, 0, 1, {9, 9, 8, 0}},
    };
    for (const FitRow& row : rows) {
        const TineFit fit = fitToTines(row.pitches, kC17);
        EXPECT_EQ(fit.shift, row.shift) << row.rule;
        EXPECT_EQ(fit.movedByOctaves, row.moved) << row.rule;
        EXPECT_EQ(fit.withoutTine, row.without) << row.rule;
        EXPECT_EQ(fit.tines, row.tines) << row.rule;
    }
}

TEST(TineFitting, ChosenTinesGoIntoTheDocument)
{
    ImportChoice choice;
    choice.tines = {"60,62,64,65,67", "00000"};
    const Imported imported =
        importBytes(midiFile(1, 480, {noteEvents({{67, 0, 480}, {65, 480, 480}, {72, 960, 960}})}), choice);
    ASSERT_TRUE(imported.ok);
    EXPECT_EQ(imported.music(), "|M4/4 T120 4[2] 4[1] 2[5] |"); // down a fourth: all three fit
    EXPECT_EQ(imported.config("Tines", "NoteValues"), "60,62,64,65,67");
    EXPECT_EQ(imported.config("Tines", "Number"), "5");
}

struct MelodyRow {
    const char* rule;
    std::vector<std::vector<TestNote>> tracks;
    size_t chosen;
};

TEST(TineFitting, LikeliestMelodyIsOfferedFirst)
{
    const std::vector<TestNote> bass = {{36, 0, 480}, {40, 480, 480}, {43, 960, 480}, {36, 1440, 480}};
    const std::vector<TestNote> tune = {{67, 0, 960}, {72, 960, 960}};
    const std::vector<TestNote> low = {{60, 0, 960}, {62, 960, 960}};
    const MelodyRow rows[] = {
        {"most notes on the kalimba's range", {bass, tune}, 1},
        {"then the higher", {low, tune}, 1},
        {"the first of equals", {tune, tune}, 0},
    };
    for (const MelodyRow& row : rows) {
        std::vector<MidiTrack> tracks;
        for (size_t i = 0; i < row.tracks.size(); ++i)
            tracks.push_back(noteEvents(row.tracks[i], int(i)));
        const Imported imported = importBytes(midiFile(1, 480, tracks));
        ASSERT_TRUE(imported.ok) << row.rule;
        EXPECT_EQ(likeliestMelody(imported.piece, kC17), int(row.chosen)) << row.rule;
        EXPECT_EQ(imported.outcome.voiceLabel, "track " + std::to_string(row.chosen + 1)) << row.rule;
    }
}

TEST(TineFitting, StatusText)
{
    const struct {
        ImportOutcome outcome;
        const char* text;
    } rows[] = {
        {{432, "track 2", 2, 0, 3}, "Imported 432 notes from track 2 \xC2\xB7 transposed +2 \xC2\xB7 3 notes have no tine"},
        {{1, "part 1", 0, 0, 0}, "Imported 1 note from part 1"},
        {{12, "channel 3", -5, 1, 1},
         "Imported 12 notes from channel 3 \xC2\xB7 transposed -5 \xC2\xB7 1 note moved by octaves \xC2\xB7 1 note has no tine"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(importStatusText(row.outcome), row.text);
}

} // namespace
