// Notes in the three styles, flags and beams, the empty-note band and rests,
// probed at positions computed from the layout.
#include "drawing_fixture.h"

#include <gtest/gtest.h>

namespace {

Music::Config style(const char* tails)
{
    return withOptions("Number=\"5\"", std::string("Tails=\"") + tails + "\"", "TineLabels=\"0\"");
}

// A piece of one element between two bars; the element is index 1.
Drawing single(const std::string& element, const char* tails)
{
    return Drawing(bar() + element + bar(), style(tails));
}

TEST(DrawModernNotes, WhiteStrokesInsideBlackHeads)
{
    struct Row {
        const char* value;
        int strokes;
    };
    const Row rows[] = {{"4", 0}, {"8", 1}, {"16", 2}, {"32", 3}, {"64", 4}};
    for (const Row& row : rows) {
        Drawing d = single(note(row.value), "Modern");
        const LayoutMetrics& m = d.metrics();
        const int left = d.tineX(0) + (m.tineWidth - m.noteSize) / 2;
        const int cx = left + m.noteSize / 2;
        const int y = int(d.band(1).top);
        EXPECT_EQ(d.at(cx, y + m.noteSize / 2), kWhite) << row.value << ": the white vertical line";
        EXPECT_EQ(d.at(cx - 4, y + m.noteSize / 2), kBlack) << row.value << ": the black head";
        for (int j = 1; j <= 4; ++j)
            EXPECT_EQ(d.at(cx + 4, y + 3 * j), j <= row.strokes ? kWhite : kBlack) << row.value << " stroke " << j;
    }
}

TEST(DrawModernNotes, HalfAndWholeAreHollow)
{
    for (const char* value : {"1", "2"}) {
        Drawing d = single(note(value), "Modern");
        const LayoutMetrics& m = d.metrics();
        const int left = d.tineX(0) + (m.tineWidth - m.noteSize) / 2;
        const int cx = left + m.noteSize / 2;
        const int y = int(d.band(1).top);
        EXPECT_EQ(d.at(cx - 4, y + m.noteSize / 2), kWhite) << value;
        EXPECT_EQ(d.at(cx, y + m.noteSize / 2), std::string(value) == "2" ? kBlack : kWhite) << value;
    }
}

TEST(DrawTailedNotes, HeadsAtTheBandBottomWithStemsToTheMargin)
{
    struct Row {
        const char* value;
        uint32_t centre; // inside the head
        bool stem;
    };
    const Row rows[] = {{"1", kWhite, false}, {"2", kWhite, true}, {"4", kBlack, true}, {"8", kBlack, true}};
    for (const char* tails : {"Minimal", "Tailed"}) {
        for (const Row& row : rows) {
            Drawing d = single(note(row.value), tails);
            const LayoutMetrics& m = d.metrics();
            const int cx = d.tineX(0) + (m.tineWidth - m.noteSize) / 2 + m.noteSize / 2;
            const int top = int(d.band(1).top + d.band(1).height) - m.noteSize;
            EXPECT_EQ(d.at(cx, top + m.noteSize / 2), row.centre) << tails << " " << row.value;
            const int stemX = d.tineX(0) - m.stemReach + 2;
            EXPECT_EQ(d.at(stemX, top), row.stem ? kBlack : kWhite) << tails << " " << row.value;
            EXPECT_EQ(d.at(stemX, top + 2), kWhite) << tails << " " << row.value;
        }
    }
}

TEST(DrawTailedNotes, DotsAboveTheHead)
{
    for (const char* value : {"4.", "4.."}) {
        Drawing d = single(note(value), "Minimal");
        const LayoutMetrics& m = d.metrics();
        const int cx = d.tineX(0) + (m.tineWidth - m.noteSize) / 2 + m.noteSize / 2;
        const int top = int(d.band(1).top + d.band(1).height) - m.noteSize;
        const int step = int(1.5 * m.dotSize);
        EXPECT_EQ(d.at(cx - 1, top - step + m.dotSize / 2), kBlack) << value;
        EXPECT_EQ(d.at(cx - 1, top - 2 * step + m.dotSize / 2), std::string(value) == "4.." ? kBlack : kLaneGrey)
            << value;
    }
}

TEST(DrawTailedNotes, FlagsOnePerLevelTwoBeamWidthsApart)
{
    struct Row {
        const char* value;
        int flags;
    };
    for (const Row& row : {Row{"4", 0}, Row{"8", 1}, Row{"16", 2}, Row{"32", 3}}) {
        Drawing d = single(note(row.value), "Minimal");
        const LayoutMetrics& m = d.metrics();
        const int top = int(d.band(1).top + d.band(1).height) - m.noteSize;
        const int w = d.tineX(0) - m.stemReach;
        for (int level = 0; level < 3; ++level) {
            const int x = w + level * 2 * m.beamWidth + m.noteSize / 2;
            EXPECT_EQ(d.at(x, top - m.noteSize / 2), level < row.flags ? kBlack : kWhite)
                << row.value << " flag " << level;
        }
    }
}

TEST(DrawTailedNotes, BeamSegmentsJoinAGroup)
{
    for (const char* tails : {"Minimal", "Tailed"}) {
        Drawing d(bar() + note("8", attr("Beam", "F")) + note("8", attr("Beam", "Y")) + note("8", attr("Beam", "L")) +
                      bar(),
                  style(tails));
        const LayoutMetrics& m = d.metrics();
        const int x = d.tineX(0) - m.stemReach;
        const int firstTop = int(d.band(1).top + d.band(1).height) - m.noteSize;
        EXPECT_EQ(d.at(x, firstTop - m.noteSize / 2), kBlack) << tails << ": the first note's stub";
        for (int i = 2; i <= 3; ++i) {
            const int top = int(d.band(i).top + d.band(i).height) - m.noteSize;
            const int below = int(d.band(i - 1).top);
            EXPECT_EQ(d.at(x, (top + below) / 2), kBlack) << tails << ": note " << i << " joined to the one before";
            EXPECT_EQ(d.at(x + m.noteSize / 2 + 3, top - m.noteSize / 2), kWhite) << tails << ": no flag";
        }
    }
}

TEST(DrawNotes, EmptyNoteIsAFaintBand)
{
    for (const std::string& element : {std::string("<Note Value=\"4\" Tines=\"\"/>"), std::string("<Note Tines=\"1\"/>")}) {
        Drawing d(bar() + note("4") + element + note("4") + bar(), style("Minimal"));
        const int y = int(d.band(2).top + d.band(2).height / 2);
        const int mid = d.metrics().tineWidth / 2;
        for (int tine = 0; tine < 5; ++tine)
            EXPECT_EQ(d.at(d.tineX(tine) + mid, y), 0xD9D9D9u) << element << " tine " << tine;
        EXPECT_EQ(d.at(d.tineX(0) - 5, y), kWhite) << element;
        EXPECT_EQ(d.at(d.tineX(0) + mid, int(d.band(2).top) - 2), 0xD9D9D9u) << element << ": the gap above";
    }
}

TEST(DrawNotes, ChordsMarkEveryTine)
{
    Drawing d(bar() + note("4", "") + "<Note Value=\"4\" Tines=\"5,1,3,9\"/>" + bar(), style("Minimal"));
    const LayoutMetrics& m = d.metrics();
    const int centre = int(d.band(2).top + d.band(2).height) - m.noteSize / 2;
    for (int tine = 0; tine < 5; ++tine)
        EXPECT_EQ(d.at(d.tineX(tine) + m.tineWidth / 2, centre), tine % 2 == 0 ? kBlack : kLaneGrey) << tine;
}

// Rests: the glyph at both places, left and right of the middle tine.
TEST(DrawRests, GlyphsAtBothPositions)
{
    struct Row {
        const char* value;
        int dx; // where the glyph has ink, from X and the band
        bool fromBottom;
        int dy;
    };
    const Row rows[] = {
        {"1", 3, true, -3},  // block right of X
        {"2", -3, true, -3}, // block left of X
        {"4", -14, false, 3}, // the zigzag's first stroke
        {"8", -4, false, 1},  // the slanting line
        {"16", -8, false, 1},
    };
    for (const Row& row : rows) {
        Drawing d = single("<Rest Value=\"" + std::string(row.value) + "\"/>", "Minimal");
        const ViewLayout::Band b = d.band(1);
        const int y = int(row.fromBottom ? b.top + b.height : b.top) + row.dy;
        for (int tine : {5 / 2 - 2, 5 / 2 + 2})
            EXPECT_EQ(d.at(d.tineX(tine) + row.dx, y), kBlack) << row.value << " at tine " << tine;
        Drawing empty = single("<Rest Value=\"3\"/>", "Minimal");
        EXPECT_NE(empty.at(empty.tineX(0) + row.dx, y), kBlack) << row.value;
    }
}

TEST(DrawRests, DotsBesideTheBlock)
{
    Drawing d = single("<Rest Value=\"1.\"/>", "Minimal");
    const LayoutMetrics& m = d.metrics();
    const ViewLayout::Band b = d.band(1);
    const int size = int(0.7 * m.noteSize);
    const int x = d.tineX(0);
    const int blockTop = int(b.top + b.height) + int(1.5 * m.dotSize) - 2 * size;
    EXPECT_EQ(d.at(x + size - m.dotSize + 1, blockTop - int(1.5 * m.dotSize) + 1), kBlack);
}

} // namespace
