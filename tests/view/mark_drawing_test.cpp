// Fermatas, tuplet brackets, ties, tempo marks, lyrics and the cursor.
#include "drawing_fixture.h"

#include <gtest/gtest.h>

namespace {

Music::Config minimal(const std::string& options = "TineLabels=\"0\"")
{
    return withOptions("Number=\"5\"", "Tails=\"Minimal\"", options);
}

TEST(DrawMarks, FermataInTheLeftGutter)
{
    Drawing d(bar() + note("4", attr("Bird", "Y")) + bar(), minimal());
    const LayoutMetrics& m = d.metrics();
    const ViewLayout::Band b = d.band(1);
    const int x = m.leftGutter - 4;
    const int ym = int(b.top + b.height / 2);
    EXPECT_TRUE(d.hasInk(x - m.noteSize, ym - 1, x - m.noteSize + 2, ym + 2)) << "the bow's leftmost point";
    EXPECT_EQ(d.at(x - 2, ym), kBlack) << "the dot";
}

TEST(DrawMarks, TupletBracketWithThree)
{
    Drawing d(bar("M3/8") + note("8", attr("Tuplet", "F")) + note("8", attr("Tuplet", "Y")) +
                  note("8", attr("Tuplet", "L")) + bar("A3/8"),
              minimal());
    const LayoutMetrics& m = d.metrics();
    const int outer = d.tineX(0) - m.stemReach - 2 - 10;
    const int bottom = int(d.band(1).top + d.band(1).height);
    const int top = int(d.band(3).top);
    EXPECT_EQ(d.at(outer, bottom - 2), kBlack) << "the bracket's upright";
    EXPECT_EQ(d.at(outer + 5, bottom), kBlack) << "its lower arm";
    EXPECT_EQ(d.at(outer + 5, top), kBlack) << "its upper arm";
    const int three = int(d.band(2).top);
    EXPECT_TRUE(d.hasInk(outer - 3, three, outer + 5, three + 12)) << "the 3";
}

TEST(DrawMarks, TieBowsRightOfTheHighestTine)
{
    Drawing d(bar() + "<Note Value=\"4\" Tines=\"1,2\" Tie=\"Y\"/>" + note("4") + bar(), minimal());
    const ViewLayout::Band from = d.band(1);
    const ViewLayout::Band to = d.band(2);
    const int middle = int((from.top + from.height / 2 + to.top + to.height / 2) / 2);
    const int xl = d.tineX(2);
    EXPECT_TRUE(d.hasInk(xl + d.metrics().noteSize - 3, middle - 1, xl + d.metrics().noteSize, middle + 2));
    Drawing untied(bar() + "<Note Value=\"4\" Tines=\"1,2\"/>" + note("4") + bar(), minimal());
    EXPECT_FALSE(untied.hasInk(xl + 2, middle - 1, xl + untied.metrics().noteSize, middle + 2));
}

TEST(DrawMarks, TempoAndLyrics)
{
    const std::string piece = bar("M4/4", "Auto", attr("Tempo", "90")) + note("4", attr("Text", "la\xE9")) + bar();
    Drawing on(piece, minimal());
    Drawing off(piece, minimal("TineLabels=\"0\" Lyrics=\"0\""));
    const int lyricTop = int(on.band(1).top) - 3;
    const int lyricX = on.tineX(5 + 1);
    EXPECT_TRUE(on.hasInk(lyricX, lyricTop, lyricX + 30, lyricTop + 14));
    EXPECT_FALSE(off.hasInk(lyricX, lyricTop, lyricX + 30, lyricTop + 14));
    const int centre = int(on.band(1).top + on.band(1).height + (on.band(0).top - on.band(1).top) / 2);
    EXPECT_TRUE(off.hasInk(10, centre - 6, 40, centre + 6)) << "T=90";
}

TEST(DrawCursor, HighlightCellAndSelection)
{
    const std::string piece = bar() + note("4") + note("4") + bar() + note("4") + bar();
    constexpr uint32_t kTinted = 0xC8FFC8; // lane grey OR 0x003700
    constexpr uint32_t kCell = 0xF4C3F4;   // … then XOR 0x3C3C3C
    struct Row {
        const char* what;
        int element;
        bool playing;
        bool selection;
        uint32_t cell;
    };
    const Row rows[] = {
        {"cursor on a note", 2, false, false, kCell},
        {"while playing", 2, true, false, kTinted},
        {"with a selection", 2, false, true, kTinted},
        {"cursor on a bar", 3, false, false, kTinted},
    };
    for (const Row& row : rows) {
        Drawing d(piece, minimal());
        CursorMarks marks;
        marks.element = d.music.at(row.element);
        marks.tine = 2;
        marks.playing = row.playing;
        if (row.selection) {
            marks.selectionAnchor = d.music.at(1);
            marks.selectionEnd = d.music.at(2);
        }
        d.paint(marks);
        // A note: the gap above it, which the highlight covers; a bar: its band above the line.
        const int y = int(d.band(row.element).top) + (row.element == 3 ? 2 : -3);
        const int mid = d.metrics().tineWidth / 2;
        EXPECT_EQ(d.at(d.tineX(1) + mid, y), kTinted) << row.what; // the notes are on tine 1
        EXPECT_EQ(d.at(d.tineX(2) + mid, y), row.cell) << row.what;
        EXPECT_EQ(d.at(d.tineX(0) - 1, y), 0x003700u) << row.what << ": the frame";
        if (row.selection) {
            EXPECT_EQ(d.at(d.tineX(1) + mid, int(d.band(1).top) - 3), kTinted) << "the selection's lower end";
            EXPECT_EQ(d.at(d.tineX(1) + mid, int(d.band(3).top) + 2), kLaneGrey) << "above the selection";
        } else {
            EXPECT_EQ(d.at(d.tineX(1) + mid, int(d.band(row.element - 1).top) - 3), kLaneGrey) << row.what;
        }
    }
}

// Over a selection (rows 1 … 3) the cursor's row (2) has an amber band of its
// own while playing, and after a Stop with the cell of its tine.
TEST(DrawCursor, PlayedRowOverTheSelection)
{
    const std::string piece = bar() + note("4") + note("4") + note("4") + bar();
    const Music::Config config = withOptions("Number=\"5\" Shade=\"00100\" ShadeColor=\"14599344\"",
                                             "Tails=\"Minimal\"", "TineLabels=\"0\"");
    constexpr uint32_t kTinted = 0xC8FFC8;    // lane grey OR the selection's 0x003700
    constexpr uint32_t kPlayed = 0x32A8C8;    // … multiplied by 0x40A8FF
    constexpr uint32_t kShaded = 0x38A3B0;    // 0xDEC4B0 OR 0x003700, multiplied alike
    constexpr uint32_t kPlayedCell = 0x0E94F4; // kPlayed XOR 0x3C3C3C
    constexpr uint32_t kAmber = 0x0070E0;
    struct Row {
        const char* what;
        bool playing;
        bool overSelection;
        int lane;
        uint32_t want;
    };
    const Row rows[] = {
        {"playing", true, false, 0, kPlayed},
        {"playing, a shaded lane", true, false, 2, kShaded},
        {"playing, no cell on the cursor's tine", true, false, 3, kPlayed},
        {"stopped in the selection: the cell", false, true, 3, kPlayedCell},
        {"a selection alone", false, false, 3, kTinted},
    };
    for (const Row& row : rows) {
        Drawing d(piece, config);
        CursorMarks marks;
        marks.element = d.music.at(2);
        marks.tine = 3;
        marks.selectionAnchor = d.music.at(1);
        marks.selectionEnd = d.music.at(3);
        marks.playing = row.playing;
        marks.cursorOverSelection = row.overSelection;
        d.paint(marks);
        const int y = int(d.band(2).top) - 3; // the gap above the note, in the band
        const int mid = d.metrics().tineWidth / 2;
        const bool band = row.want != kTinted;
        EXPECT_EQ(d.at(d.tineX(row.lane) + mid, y), row.want) << row.what;
        EXPECT_EQ(d.at(d.tineX(0) - 2, y), band ? kAmber : kWhite) << row.what << ": the band's outer frame";
        EXPECT_EQ(d.at(d.tineX(0) + mid, int(d.band(1).top) - 3), kTinted) << row.what << ": the selection below";
    }
}

} // namespace

namespace {

// Odd music draws without harm: no tines, the most tines, values and marks
// that name nothing, a cursor tine beyond the lanes.
TEST(DrawOddMusic, DrawsWithoutHarm)
{
    auto odd = [](const char* lastTines) {
        return bar("M0/0") + "<Note Value=\"0\" Tines=\"0,101,-3\" Tie=\"Y\" Bird=\"Y\"/>" +
               "<Note Value=\"-8\" Tines=\"1\" Beam=\"L\" Tuplet=\"F\"/>" + "<Rest Value=\"abc...\" Bird=\"\"/>" +
               "<Note Value=\"4...\" Tines=\"" + lastTines + "\" Beam=\"Y\"/>" +
               bar("A3/4", "Auto", attr("Modifier", "CloseRepeat") + attr("RepeatCount", "99999999999"));
    };
    for (const char* tines : {"Number=\"0\"", "Number=\"100\"", "Number=\"1\""}) {
        for (const char* tails : {"Modern", "Minimal", "Tailed"}) {
            const Music::Config config =
                withOptions(tines, std::string("Tails=\"") + tails + "\"", "VTines=\"1\" CenterLine=\"1\"");
            CursorMarks marks;
            Drawing d(odd("1,1,1"), config);
            marks.element = d.music.at(1);
            marks.tine = 150;
            d.paint(marks);
            ASSERT_FALSE(d.frame.isNull()) << tines << " " << tails;
            if (std::string(tines) == "Number=\"0\"")
                continue;
            // Tines outside the kalimba are left out; the one it has is drawn.
            Drawing without(odd("0,101"), config);
            marks.element = without.music.at(1);
            without.paint(marks);
            const ViewLayout::Band b = d.band(4);
            const QRect head(d.tineX(0), int(b.top), d.metrics().tineWidth, int(b.height));
            EXPECT_NE(d.frame.copy(head), without.frame.copy(head)) << tines << " " << tails;
        }
    }
}

} // namespace
