// Lanes, labels, the centre line, wrong tines, bars with their marks and the
// error band, probed at positions computed from the layout.
#include "drawing_fixture.h"

#include <QFontMetrics>

#include <vector>

#include <gtest/gtest.h>

namespace {

constexpr uint32_t kGreenShade = 0x00FF00;

const std::string kShortPiece = bar("M4/4") + note("4") + note("4") + bar() + note("4") + bar();

TEST(DrawLanes, LaneAndShadeColours)
{
    Drawing d(kShortPiece, withOptions("Number=\"5\" Shade=\"01000\" ShadeColor=\"65280\"", "Tails=\"Minimal\"", ""));
    const int y = int(d.band(4).top) - 3; // between the last note and the last bar
    const int mid = d.metrics().tineWidth / 2;
    EXPECT_EQ(d.at(d.tineX(0) + mid, y), kLaneGrey);
    EXPECT_EQ(d.at(d.tineX(1) + mid, y), kGreenShade);
    EXPECT_EQ(d.at(d.tineX(4) + mid, y), kLaneGrey);
    EXPECT_EQ(d.at(d.tineX(5) + mid, y), kWhite) << "right of the last lane";
}

TEST(DrawLanes, VTinesStepDownToTheCentreAndBackUp)
{
    const std::string tines = "Number=\"9\"";
    Drawing flat(kShortPiece, withOptions(tines, "Tails=\"Minimal\"", "TineLabels=\"0\""));
    Drawing vee(kShortPiece, withOptions(tines, "Tails=\"Minimal\"", "VTines=\"1\" TineLabels=\"0\""));
    const int bottom = int(flat.band(0).top + flat.band(0).height + 1); // the lanes' lowest row, without V
    const int step = vee.metrics().vStep;
    const int v[9] = {0, 1, 2, 3, 4, 3, 2, 1, 0};
    for (int i = 0; i < 9; ++i) {
        const int x = vee.tineX(i) + vee.metrics().tineWidth / 2;
        const int laneBottom = int(vee.band(0).top + vee.band(0).height + 1) + v[i] * step;
        if (v[i] > 0) { // the outer lanes end just under the opening bar's line
            EXPECT_EQ(vee.at(x, laneBottom - 2), kLaneGrey) << "tine " << i;
        }
        EXPECT_EQ(vee.at(x, laneBottom - 1), kBlack) << "tine " << i << ": the lane's outline";
        EXPECT_EQ(vee.at(x, laneBottom + 2), kWhite) << "tine " << i;
        EXPECT_EQ(flat.at(x, bottom + 2), kWhite) << "tine " << i;
    }
}

TEST(DrawLanes, LabelsUnderTheFirstElementOnlyWhenSwitchedOn)
{
    const std::string tines = "Number=\"3\" NoteValues=\"60,62,64\"";
    Drawing on(kShortPiece, withOptions(tines, "Tails=\"Minimal\"", ""));
    Drawing off(kShortPiece, withOptions(tines, "Tails=\"Minimal\"", "TineLabels=\"0\""));
    const int y0 = int(on.band(0).top + on.band(0).height + 5);
    const int right = on.tineX(3);
    EXPECT_TRUE(on.hasInk(on.tineX(0), y0, right, y0 + 14));
    EXPECT_FALSE(off.hasInk(off.tineX(0), y0 + 2, right, y0 + 14));
}

TEST(DrawLanes, CentreLineOnlyWhenSwitchedOn)
{
    const std::string tines = "Number=\"4\"";
    Drawing on(kShortPiece, withOptions(tines, "Tails=\"Minimal\"", "CenterLine=\"1\""));
    Drawing off(kShortPiece, withOptions(tines, "Tails=\"Minimal\"", ""));
    const int x = on.tineX(2) + 1; // inside the lane, where the centre line's right half lies
    const int y = int(on.band(2).top) - 2; // between two notes
    EXPECT_EQ(on.at(x, y), kBlack);
    EXPECT_EQ(off.at(x, y), kLaneGrey);

    // A window that ends 18 rows under a bar, short of the note 20 rows under
    // it: the line still runs to the window's lower edge.
    Drawing low(kShortPiece, withOptions(tines, "Tails=\"Minimal\"", "CenterLine=\"1\""), 0, QSize(400, 60));
    const ViewLayout::Band bar = low.music.layout.EventBand(low.music.at(3), ViewLayout::Coordinates::Document);
    low.music.layout.setViewport(int(bar.top + bar.height + 18) - low.client.height(), low.client.height());
    low.paint();
    EXPECT_EQ(low.at(x, low.client.height() - 1), kBlack);
}

// Wrong tines heard while playing along: their lanes red high and low, the
// others grey as every lane is without them, tines no lane has left out.
TEST(DrawLanes, WrongTinesShowRedOnTheirLanes)
{
    constexpr uint32_t kRed = 0x3232C8; // lane grey multiplied by 0x4040FF
    struct Row {
        const char* what;
        std::vector<int> wrong;
        int lane;
        uint32_t want;
    };
    const std::vector<Row> rows = {
        {"the wrong tine's lane", {1}, 0, kRed},
        {"another lane", {1}, 2, kLaneGrey},
        {"two at once", {1, 3}, 2, kRed},
        {"none", {}, 0, kLaneGrey},
        {"tines no lane has", {0, 6, -2}, 4, kLaneGrey},
    };
    for (const Row& row : rows) {
        Drawing d(kShortPiece, withOptions("Number=\"5\"", "Tails=\"Minimal\"", "TineLabels=\"0\""));
        CursorMarks marks;
        marks.wrongTines = row.wrong;
        d.paint(marks);
        const int x = d.tineX(row.lane) + d.metrics().tineWidth / 2;
        for (int element : {1, 4}) // the gap above the piece's first note, and above its last
            EXPECT_EQ(d.at(x, int(d.band(element).top) - 3), row.want) << row.what << ", above element " << element;
    }
}

// The row of a bar's line: the middle of its band, the bottom for the first
// element, the top for the last.
int lineTop(const Drawing& d, int index, int thickness)
{
    const ViewLayout::Band b = d.band(index);
    return int(b.top + b.height / 2 - thickness / 2);
}

TEST(DrawBars, LinesNumbersAndTheFinalDoubleBar)
{
    Drawing d(kShortPiece, withOptions("Number=\"5\"", "Tails=\"Minimal\"", "BarNumbers=\"1\""));
    const LayoutMetrics& m = d.metrics();
    const int cx = d.tineX(2) + 3;
    // The opening bar: a thin line at the bottom of its band.
    const ViewLayout::Band opening = d.band(0);
    EXPECT_EQ(d.at(cx, int(opening.top + opening.height - 1)), kBlack);
    // A middle bar: a thin line across its middle.
    const int c = lineTop(d, 3, m.thinLine);
    EXPECT_EQ(d.at(cx, c), kBlack);
    EXPECT_EQ(d.at(cx, c + m.thinLine), kLaneGrey);
    // The last bar: thick line at its top, a gap, then the thin line.
    const int top = int(d.band(5).top);
    for (int row = 0; row < m.thickLine; ++row)
        EXPECT_EQ(d.at(cx, top + row), kBlack) << row;
    EXPECT_EQ(d.at(cx, top + m.thickLine + 1), kLaneGrey);
    EXPECT_EQ(d.at(cx, top + m.thickLine + 3), kBlack);
    // Numbers right of the lanes, none at the last bar.
    const int x1 = d.tineX(5) + 5;
    EXPECT_TRUE(d.hasInk(x1, int(opening.top + opening.height - 12), x1 + 20, int(opening.top + opening.height + 6)));
    EXPECT_TRUE(d.hasInk(x1, c - 8, x1 + 20, c + 8));
    EXPECT_FALSE(d.hasInk(x1, top - 8, x1 + 20, top + 8));
}

TEST(DrawBars, ManualBarsAreGreenAndTimeSignaturesShowWhenSet)
{
    Drawing d(bar("M3/4") + note("2.") + bar("A3/4", "Manual") + note("2.") + bar("A3/4"),
              withOptions("Number=\"5\"", "Tails=\"Minimal\"", ""));
    const int cx = d.tineX(2) + 3;
    EXPECT_EQ(d.at(cx, lineTop(d, 2, d.metrics().thinLine)), 0x009B00u);
    const ViewLayout::Band opening = d.band(0);
    EXPECT_TRUE(d.hasInk(d.tineX(0) - 40, int(opening.top), d.tineX(0) - 2, int(opening.top + 12)));
    const ViewLayout::Band inherited = d.band(2);
    EXPECT_FALSE(d.hasInk(d.tineX(0) - 40, int(inherited.top), d.tineX(0) - 2, int(inherited.top + 12)));
}

TEST(DrawBars, OpeningBarLeftOutWithoutDrawFirstBarButNumbered)
{
    Drawing d(kShortPiece, withOptions("Number=\"5\"", "Tails=\"Minimal\" DrawFirstBar=\"N\"", "BarNumbers=\"1\""));
    const ViewLayout::Band opening = d.band(0);
    const int row = int(opening.top + opening.height - 1);
    EXPECT_EQ(d.at(d.tineX(2) + 3, row), kLaneGrey);
    const int x1 = d.tineX(5) + 5;
    EXPECT_TRUE(d.hasInk(x1, row - 12, x1 + 20, row + 6));
}

TEST(DrawBars, BothRepeatWithCount)
{
    Drawing d(bar() + note("4") + bar("A4/4", "Auto", attr("Modifier", "BothRepeat") + attr("RepeatCount", "3")) +
                  note("4") + bar(),
              withOptions("Number=\"5\"", "Tails=\"Minimal\"", ""));
    const LayoutMetrics& m = d.metrics();
    const int x0 = d.tineX(0);
    const int cx = x0 + (d.tineX(4) + m.tineWidth - x0) / 2;
    const int c = lineTop(d, 2, m.thinLine);
    for (int row = 0; row < m.thickLine; ++row)
        EXPECT_EQ(d.at(cx, c + row), kBlack) << "thick line";
    const int g = c - 3 - m.thinLine;
    EXPECT_EQ(d.at(cx, g), kBlack) << "thin line above";
    const int u = c + m.thickLine + 3;
    EXPECT_EQ(d.at(x0 + 5, u), kBlack) << "thin line below, beside the count";
    const int r = m.repeatDot;
    const int t = m.tineWidth;
    const int upper = g - 2 * r + r / 2;
    const int lower = u + r + m.thinLine + r / 2;
    for (int dotTop : {upper, lower}) {
        EXPECT_EQ(d.at(cx - t - r / 2 - 1, dotTop), kBlack);
        EXPECT_EQ(d.at(cx + t + r / 2, dotTop), kBlack);
    }
    EXPECT_TRUE(d.hasInk(cx - 4, lower - 6, cx + 4, lower + 6)) << "the repeat count";
}

// While a repeat plays, its pass shows in a framed badge right of the bar's
// number; the dots, the count and the lines stay as they were.
TEST(DrawBars, PassBadgeBesideTheBarNumber)
{
    const std::string piece = bar() + note("4") +
                              bar("A4/4", "Auto", attr("Modifier", "CloseRepeat") + attr("RepeatCount", "2")) +
                              note("4") + bar();
    const Music::Config config = withOptions("Number=\"5\"", "Tails=\"Minimal\"", "BarNumbers=\"1\"");
    struct Row {
        const char* pass;
        const char* reads;
    };
    const Row rows[] = {{"2/3", "pass 2 of 3"}, {"2", "pass 2"}};
    for (const Row& row : rows) {
        Drawing plain(piece, config);
        Drawing d(piece, config);
        d.music.at(2)->setAttribute("~Pass", row.pass);
        d.paint();
        const LayoutMetrics& m = d.metrics();
        const int c = lineTop(d, 2, m.thinLine);
        const int lanesRight = d.tineX(5);
        const QRect repeat(d.tineX(0), c, lanesRight - d.tineX(0), m.thickLine + 6 + 3 * m.repeatDot);
        EXPECT_EQ(d.frame.copy(repeat), plain.frame.copy(repeat)) << row.pass;

        const QFontMetrics font(d.music.layout.options().tools.labelFont, &d.frame);
        const int textX = lanesRight + 5 + font.horizontalAdvance("2") + 8 + 5;
        const int left = textX - 5;
        const int right = textX + font.horizontalAdvance(row.reads) + 5;
        for (int x : {left, right - 1}) {
            EXPECT_EQ(d.at(x, c), 0x0070E0u) << row.pass << ": the badge's frame at " << x;
            EXPECT_EQ(plain.at(x, c), kWhite) << row.pass;
        }
        EXPECT_EQ(d.at(right, c), kWhite) << row.pass << " reads " << row.reads;
        EXPECT_TRUE(d.hasInk(textX, c - 4, right - 5, c + 4)) << row.pass;
    }
}

TEST(DrawBars, ErrorBandTintsTheOverfullMeasure)
{
    Drawing d(bar() + note("4") + note("4") + bar("A4/4", "Auto", attr("~Error", "Y")) + note("4") + bar(),
              withOptions("Number=\"5\"", "Tails=\"Minimal\"", ""));
    const int y = int(d.band(2).top) - 1; // in the measure, clear of the notes
    const int mid = d.metrics().tineWidth / 2;
    EXPECT_EQ(d.at(d.tineX(0) + mid, y), kLaneGrey | 0x000037u);
    EXPECT_EQ(d.at(d.tineX(0) - 1, y), 0x000037u) << "the frame, tinted with the rest";
    // The next measure is not tinted.
    EXPECT_EQ(d.at(d.tineX(0) + mid, int(d.band(4).top) - 1), kLaneGrey);
}

TEST(DrawFrame, SizeFollowsDocumentAndClient)
{
    Drawing d(kShortPiece, withOptions("Number=\"5\"", "Tails=\"Minimal\"", ""), 0, QSize(1000, 300));
    EXPECT_EQ(d.frame.size(), QSize(1000, 300));
    Drawing narrow(kShortPiece, withOptions("Number=\"5\"", "Tails=\"Minimal\"", ""), 0, QSize(50, 300));
    EXPECT_EQ(narrow.frame.size(), QSize(narrow.music.layout.ComputeExtent(false).width(), 300));
}

} // namespace
