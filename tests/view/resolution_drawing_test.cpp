// The frame at device pixel ratios above 1: crisp parts are the ratio-1
// picture on whole device pixels, the rest is drawn at the screen's density.
#include "drawing_fixture.h"
#include "view/frame_canvas.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Smoothing on for one test; the suite runs with it off.
struct Smoothing {
    explicit Smoothing(bool on) { setSmoothDrawing(on); }
    ~Smoothing() { setSmoothDrawing(false); }
};

const std::string kPiece = bar("M4/4") + note("4") + note("8", attr("Tines", "3")) + note("2", attr("Tines", "5")) +
                           bar() + note("4", attr("Tines", "2")) + bar();

Music::Config modern()
{
    return withOptions("Number=\"5\"", "Tails=\"Modern\"", "TineLabels=\"0\"");
}

// The colours along a row, each run of one colour once.
std::vector<uint32_t> runs(const Drawing& d, int y, int left, int right)
{
    std::vector<uint32_t> colours;
    for (int x = left; x < right; ++x)
        if (colours.empty() || colours.back() != d.at(x, y))
            colours.push_back(d.at(x, y));
    return colours;
}

TEST(DrawAtRatio, FrameHoldsDevicePixelsAndIsMarked)
{
    Drawing d(kPiece);
    d.paint(CursorMarks(), 1.5);
    EXPECT_EQ(d.frame.size(), QSize(600, 750));
    EXPECT_DOUBLE_EQ(d.frame.devicePixelRatio(), 1.5);
}

// Lanes, the highlight and the cursor cell at ratio 2 are the ratio-1 picture
// with each pixel a 2 × 2 block: borders two device pixels wide, the XOR cell
// over exactly its rectangle.
TEST(DrawAtRatio, CrispPartsAreTheRatioOnePictureDoubled)
{
    Drawing one(kPiece);
    Drawing two(kPiece);
    for (Drawing* d : {&one, &two}) {
        CursorMarks marks;
        marks.element = d->music.at(2); // its head is on the third lane, the cell on the first
        marks.tine = 0;
        d->paint(marks, d == &two ? 2.0 : 1.0);
    }
    struct Row {
        const char* what;
        int y;
    };
    const ViewLayout::Band cursor = one.band(2);
    const Row rows[] = {{"cursor cell", int(cursor.top + cursor.height) - 2},
                        {"cursor frame top", int(one.band(3).top + one.band(3).height)},
                        {"lanes below the last bar", int(one.band(5).top) - 5}};
    for (const Row& row : rows) {
        for (int x = one.tineX(0) - 3; x < one.tineX(2); ++x)
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx)
                    ASSERT_EQ(two.at(2 * x + dx, 2 * row.y + dy), one.at(x, row.y))
                        << row.what << " x " << x << " device " << 2 * x + dx << "," << 2 * row.y + dy;
    }
    const int y = 2 * rows[2].y;
    const int x0 = 2 * one.tineX(0);
    EXPECT_EQ(two.at(x0 - 1, y), kWhite);
    EXPECT_EQ(two.at(x0, y), kBlack) << "a border is two device pixels wide";
    EXPECT_EQ(two.at(x0 + 1, y), kBlack);
    EXPECT_EQ(two.at(x0 + 2, y), kLaneGrey);
}

// At a ratio that is not whole, edges snap to device pixels: a row crosses
// the same colours in the same order as at ratio 1, with no seam between
// tints and no pixel tinted twice.
TEST(DrawAtRatio, TintsMeetWithoutSeamsAtOneAndAHalf)
{
    Drawing one(kPiece);
    Drawing odd(kPiece);
    CursorMarks marks;
    marks.element = one.music.at(4);
    marks.tine = 3;
    CursorMarks marksOdd = marks;
    marksOdd.element = odd.music.at(4);
    one.paint(marks);
    odd.paint(marksOdd, 1.5);
    const ViewLayout::Band b = one.band(4);
    for (int y : {int(b.top + b.height / 2), int(one.band(5).top + one.band(5).height) + 1}) {
        const int yOdd = int(y * 1.5 + 0.75);
        EXPECT_EQ(runs(odd, yOdd, 0, int(one.tineX(5) * 1.5) + 6), runs(one, y, 0, one.tineX(5) + 4)) << "row " << y;
    }
}

// A head's outline at ratio 2, smoothed or not, centred where the layout puts
// it: the middle of its box, in device pixels.
TEST(DrawAtRatio, HeadCentredWhereTheLayoutSays)
{
    for (bool smooth : {false, true}) {
        Smoothing smoothing(smooth);
        Drawing d(bar() + note("4", attr("Tines", "3")) + bar(), withOptions("Number=\"5\"", "", "TineLabels=\"0\""));
        d.paint(CursorMarks(), 2.0);
        const LayoutMetrics& m = d.metrics();
        const int left = d.tineX(2) + (m.tineWidth - m.noteSize) / 2;
        const ViewLayout::Band b = d.band(1);
        const int y = 2 * int(b.top + b.height - m.noteSize + m.noteSize / 2);
        int first = -1;
        int last = -1;
        for (int x = 2 * d.tineX(2) + 2; x < 2 * d.tineX(3) - 2; ++x) { // inside the lane's borders
            if (qGray(d.frame.pixel(x, y)) < 128) {
                if (first < 0)
                    first = x;
                last = x;
            }
        }
        ASSERT_GE(first, 0) << "smooth " << smooth;
        EXPECT_NEAR((first + last + 1) / 2.0, 2.0 * (left + m.noteSize / 2.0), 1.0) << "smooth " << smooth;
        EXPECT_NEAR(last + 1 - first, 2 * m.noteSize, 2) << "smooth " << smooth;
    }
}

// Not the ratio-1 frame blown up: across the lanes many 2 × 2 blocks hold
// more than one colour, and smoothing adds shades between black and white.
TEST(DrawAtRatio, DetailFinerThanALayoutPixel)
{
    const std::string dense = bar("M4/4") + repeat(note("8", attr("Tines", "1,3,5")) + note("8.", attr("Tines", "2,4")) +
                                                       note("16", attr("Tines", "3")),
                                                   4) +
                              bar();
    struct Row {
        bool smooth;
        int minMixed;
        bool greys;
    };
    for (const Row row : {Row{false, 40, false}, Row{true, 200, true}}) {
        Smoothing smoothing(row.smooth);
        Drawing d(dense, modern());
        d.paint(CursorMarks(), 2.0);
        int mixed = 0;
        int greys = 0;
        for (int y = 0; y + 1 < d.frame.height(); y += 2)
            for (int x = 2 * d.tineX(0); x + 1 < 2 * d.tineX(5); x += 2) {
                const QRgb c = d.frame.pixel(x, y);
                mixed += d.frame.pixel(x + 1, y) != c || d.frame.pixel(x, y + 1) != c ||
                         d.frame.pixel(x + 1, y + 1) != c;
                for (int dx = 0; dx < 2; ++dx) {
                    const int g = qGray(d.frame.pixel(x + dx, y));
                    greys += g > 20 && g < 180;
                }
            }
        EXPECT_GE(mixed, row.minMixed) << "smooth " << row.smooth;
        EXPECT_EQ(greys > 50, row.greys) << "smooth " << row.smooth;
    }
}

// A line the layout draws one pixel wide (pens below scale 1) stays one
// device pixel wide at ratio 2.
TEST(DrawAtRatio, HairlinesStayOneDevicePixel)
{
    Drawing d(kPiece, withOptions("Number=\"5\"", "Tails=\"Minimal\" Scale=\"0.5\"", "TineLabels=\"0\""));
    d.paint(CursorMarks(), 2.0);
    const int y = 2 * (int(d.band(4).top) - 2);
    const int x = 2 * d.tineX(0);
    EXPECT_EQ(d.at(x - 1, y), kWhite);
    EXPECT_EQ(d.at(x, y), kBlack);
    EXPECT_EQ(d.at(x + 1, y), kLaneGrey);
}

// Lane ends copied from kept pictures and the white left out under the lanes'
// middles make the same pixels as drawing everything each time: compared on
// lanes no element touches, where smoothing changes nothing else.
TEST(DrawAtRatio, KeptLaneEndsMatchLanesDrawnAfresh)
{
    const std::string piece = bar("M4/4") + note("4", attr("Tines", "0")) + note("2", attr("Tines", "0")) + bar();
    struct Row {
        const char* options;
        double ratio;
    };
    for (const Row row : {Row{"", 1.0}, Row{"", 1.5}, Row{"", 2.0}, Row{"Scale=\"1.3\"", 1.5}}) {
        const Music::Config config = withOptions("Number=\"8\" Shade=\"00110000\"", row.options, "TineLabels=\"0\"");
        Drawing fresh(piece, config);
        fresh.paint(CursorMarks(), row.ratio);
        Smoothing smoothing(true);
        Drawing kept(piece, config);
        kept.paint(CursorMarks(), row.ratio);
        kept.paint(CursorMarks(), row.ratio); // the second time from the kept pictures
        const int left = int(fresh.tineX(2) * row.ratio) - 2;
        const int right = int(fresh.tineX(7) * row.ratio);
        for (int y = 0; y < fresh.frame.height(); ++y)
            for (int x = left; x < right; ++x)
                ASSERT_EQ(kept.at(x, y), fresh.at(x, y)) << row.options << " ratio " << row.ratio << " at " << x << ","
                                                         << y;
    }
}

// Smoothed lines and heads copied from kept pictures land where drawing them
// would, at whole ratios and between: the same picture to within rounding.
TEST(DrawAtRatio, KeptShapesMatchShapesDrawnDirectly)
{
    Smoothing smoothing(true);
    Drawing d(kPiece);
    const DrawingTools& tools = d.music.layout.options().tools;
    for (const double ratio : {1.0, 1.5, 2.0}) {
        ShapeSprites sprites;
        const auto draw = [&](ShapeSprites* kept) {
            QImage image(int(200 * ratio), int(100 * ratio), QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            FrameCanvas canvas(painter, d.music.layout, 5, 100, ratio, kept);
            for (const QPen& pen : {tools.outlinePen, tools.doublePen}) {
                painter.setPen(pen);
                for (int x = 3; x < 180; x += 37) {
                    canvas.line(x, 10, x + 9, 2);  // a flag
                    canvas.line(x + 1, 20, x + 1, 45); // a stem
                    canvas.line(x + 20, 60, x, 55);  // drawn right to left
                    canvas.ellipse(x, 70, x + 9, 79);
                }
            }
            return image;
        };
        draw(&sprites); // makes the pictures
        const QImage kept = draw(&sprites);
        const QImage direct = draw(nullptr);
        int most = 0;
        for (int y = 0; y < kept.height(); ++y)
            for (int x = 0; x < kept.width(); ++x)
                most = std::max(most, std::abs(qGray(kept.pixel(x, y)) - qGray(direct.pixel(x, y))));
        EXPECT_LE(most, 24) << "ratio " << ratio;
    }
}

} // namespace
