// Display options resolved from the document: note styles, the scale and
// every metric it multiplies, note names, switches, spacing modes and tools.
#include "music_fixture.h"

#include "view/display_options.h"


#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kOneNote = "<Bar Type=\"Auto\" Timing=\"A4/4\"/><Note Value=\"4\" Tines=\"1\"/>";

DisplayOptions resolve(const Music::Config& config)
{
    Music music(kOneNote, config);
    return ResolveDisplayOptions(music.doc);
}

Music::Config screen(const std::string& attributes)
{
    Music::Config config;
    config.screen = attributes;
    return config;
}

TEST(DisplayOptions, NoteStyleSetsTineWidthAndNoteSize)
{
    struct Row {
        const char* tails;
        int tineWidth;
        int noteSize;
    };
    for (const Row& row : {Row{"Modern", 22, 20}, Row{"Minimal", 20, 10}, Row{"Tailed", 20, 10}, Row{"New", 22, 20}}) {
        const DisplayOptions o = resolve(screen(attr("Tails", row.tails)));
        EXPECT_EQ(o.metrics.tineWidth, row.tineWidth) << row.tails;
        EXPECT_EQ(o.metrics.noteSize, row.noteSize) << row.tails;
        EXPECT_EQ(o.scale, 1.0);
        EXPECT_EQ(o.metrics.laneOrigin, 90);
        EXPECT_EQ(o.metrics.noteSpacing, 20);
        EXPECT_EQ(o.metrics.measureSpacing, 400);
        EXPECT_EQ(o.spacing, Spacing::FixedNotes);
    }
}

TEST(DisplayOptions, TineWidthAttributeReplacesTheStylesWidthUnlessNotPositive)
{
    struct Row {
        const char* width;
        int expected;
    };
    for (const Row& row : {Row{"30", 30}, Row{"1", 1}, Row{"0", 22}, Row{"-5", 22}, Row{"abc", 22}})
        EXPECT_EQ(resolve(screen(attr("Tails", "Modern") + attr("TineWidth", row.width))).metrics.tineWidth,
                  row.expected)
            << row.width;
}

TEST(DisplayOptions, ScaleOneAndAHalfMultipliesEachMetricOnItsOwn)
{
    const DisplayOptions o = resolve(screen(attr("Tails", "Minimal") + attr("Scale", "1.5")));
    const LayoutMetrics& m = o.metrics;
    EXPECT_EQ(o.scale, 1.5);
    EXPECT_EQ(m.laneOrigin, 135);
    EXPECT_EQ(m.leftGutter, 75);
    EXPECT_EQ(m.stemReach, 60);
    EXPECT_EQ(m.tineWidth, 30);
    EXPECT_EQ(m.beamWidth, 3);
    EXPECT_EQ(m.vStep, 7) << "trunc(7.5)";
    EXPECT_EQ(m.repeatDot, 7);
    EXPECT_EQ(m.barHeight, 24);
    EXPECT_EQ(m.noteSize, 15);
    EXPECT_EQ(m.bottomMargin, 60);
    EXPECT_EQ(m.topMargin, 75);
    EXPECT_EQ(m.measureSpacing, 600);
    EXPECT_EQ(o.tools.outlinePen.width(), 1);
    EXPECT_EQ(o.tools.doublePen.width(), 3);
    EXPECT_EQ(o.tools.whitePen.width(), 1);
    EXPECT_EQ(o.tools.labelTenths, 135);
    EXPECT_DOUBLE_EQ(o.tools.labelFont.pointSizeF(), 13.5);
}

TEST(DisplayOptions, ScaleBelowOneRaisesTheBeamWidthAndDrawsHairlines)
{
    const DisplayOptions o = resolve(screen(attr("Scale", "0.4")));
    EXPECT_EQ(o.metrics.beamWidth, 1) << "0.8 raised to 1";
    EXPECT_EQ(o.metrics.laneOrigin, 36);
    EXPECT_EQ(o.metrics.tineWidth, 8);
    EXPECT_EQ(o.metrics.thinLine, 0);
    EXPECT_EQ(o.tools.outlinePen.width(), 0);
    EXPECT_EQ(o.tools.doublePen.width(), 0);
    EXPECT_TRUE(o.tools.outlinePen.isCosmetic()) << "width 0 draws one pixel";
    EXPECT_EQ(o.tools.labelTenths, 36);
}

TEST(DisplayOptions, ScaleThatIsNoUsableNumberReadsAsOne)
{
    struct Row {
        const char* scale;
        double expected;
    };
    const Row rows[] = {{"0", 1.0},   {"abc", 1.0}, {"", 1.0},    {"-2", 1.0},
                        {"2", 2.0},   {"1e9", kMaxScale},           {"1e999", kMaxScale}};
    for (const Row& row : rows) {
        const DisplayOptions o = resolve(screen(attr("Scale", row.scale)));
        EXPECT_EQ(o.scale, row.expected) << row.scale;
        EXPECT_GT(o.metrics.tineWidth + o.metrics.tineGap, 0) << row.scale;
    }
}

TEST(DisplayOptions, TinyScaleKeepsLanesAndTheFontUsable)
{
    const DisplayOptions o = resolve(screen(attr("Scale", "0.001")));
    EXPECT_EQ(o.metrics.tineWidth, 1) << "hit testing divides by the lane width";
    EXPECT_EQ(o.metrics.noteSize, 0);
    EXPECT_EQ(o.tools.labelTenths, 1);
}

TEST(DisplayOptions, AbsurdSizesStayWithinLimits)
{
    const DisplayOptions o = resolve(
        screen(attr("Scale", "50") + attr("NoteSpacingSize", "2147483647") + attr("MeasureSpacingSize", "-2147483648")));
    EXPECT_EQ(o.metrics.noteSpacing, kMaxMetric);
    EXPECT_EQ(o.metrics.measureSpacing, -kMaxMetric);
}

TEST(DisplayOptions, SharpsUnlessAnotherValueIsPresent)
{
    struct Row {
        const char* attributes;
        bool flats;
    };
    const Row rows[] = {
        {"", false},
        {"Sharps=\"Sharps\"", false},
        {"Sharps=\"sHARPS\"", false},
        {"Sharps=\"Flats\"", true},
        {"Sharps=\"FLATS\"", true},
        {"Sharps=\"anything\"", true},
        {"Sharps=\"\"", true},
    };
    for (const Row& row : rows) {
        Music::Config config;
        config.tines = std::string("Number=\"5\" NoteValues=\"61\" ") + row.attributes;
        const DisplayOptions o = resolve(config);
        EXPECT_EQ(o.flats, row.flats) << row.attributes;
        EXPECT_STREQ(o.tineLabel(0), row.flats ? "Db" : "C#") << row.attributes;
    }
}

TEST(DisplayOptions, TineLabelsComeFromNoteValues)
{
    Music::Config config;
    config.tines = "Number=\"5\" NoteValues=\"60,62,64\"";
    const DisplayOptions o = resolve(config);
    std::string labels;
    for (int tine = 0; tine < 5; ++tine)
        labels += std::string(o.tineLabel(tine)) + " ";
    EXPECT_EQ(labels, "C D E C C ");
    EXPECT_EQ(o.tineKeys[2], 64);
    EXPECT_EQ(o.tineKeys[3], 0);

    config.tines = "Number=\"3\" NoteValues=\"71,-1,130\"";
    const DisplayOptions other = resolve(config);
    EXPECT_STREQ(other.tineLabel(0), "B");
    EXPECT_STREQ(other.tineLabel(1), "B") << "keys below C count down";
    EXPECT_STREQ(other.tineLabel(2), "A#");
    EXPECT_STREQ(other.tineLabel(100), "");
}

TEST(DisplayOptions, NoteValuesBeyondTheHundredthAreIgnored)
{
    std::string values;
    for (int i = 0; i < 120; ++i)
        values += std::to_string(i) + ",";
    Music::Config config;
    config.tines = "Number=\"100\" NoteValues=\"" + values + "\"";
    const DisplayOptions o = resolve(config);
    EXPECT_EQ(o.tineKeys[99], 99);
}

TEST(DisplayOptions, SpacingModeBits)
{
    struct Row {
        std::string attributes;
        int spacing;
    };
    const Row rows[] = {
        {"", Spacing::FixedNotes},
        {attr("MeasureSpacing", "fixed"), Spacing::FixedMeasures | Spacing::FixedNotes},
        {attr("NoteSpacing", "Variable"), Spacing::VariableNotes},
        {attr("NoteSpacing", "VARIABLE") + attr("MeasureSpacing", "Fixed"),
         Spacing::FixedMeasures | Spacing::VariableNotes},
        {attr("NoteSpacing", "Fixed") + attr("MeasureSpacing", "Variable"), Spacing::FixedNotes},
        {attr("NoteSpacing", "Variably") + attr("MeasureSpacing", "Fix"), Spacing::FixedNotes},
    };
    for (const Row& row : rows)
        EXPECT_EQ(resolve(screen(row.attributes)).spacing, row.spacing) << row.attributes;

    const DisplayOptions sized = resolve(screen(attr("NoteSpacingSize", "30") + attr("MeasureSpacingSize", "240") +
                                                attr("Scale", "2")));
    EXPECT_EQ(sized.metrics.noteSpacing, 60);
    EXPECT_EQ(sized.metrics.measureSpacing, 480);
}

TEST(DisplayOptions, SwitchesOfTheOptionsElement)
{
    const DisplayOptions defaults = resolve(Music::Config());
    EXPECT_FALSE(defaults.barNumbers);
    EXPECT_TRUE(defaults.lyrics);
    EXPECT_FALSE(defaults.vTines);
    EXPECT_FALSE(defaults.centreLine);
    EXPECT_TRUE(defaults.tineLabels);
    EXPECT_TRUE(defaults.drawFirstBar);
    EXPECT_EQ(defaults.metrics.bottomMargin, 40);

    Music::Config config;
    config.options = attr("BarNumbers", "2") + attr("Lyrics", "0") + attr("VTines", " 1") + attr("CenterLine", "-1") +
                     attr("TineLabels", "off");
    config.screen = attr("DrawFirstBar", "No") + attr("Scale", "1.5");
    const DisplayOptions set = resolve(config);
    EXPECT_TRUE(set.barNumbers);
    EXPECT_FALSE(set.lyrics);
    EXPECT_TRUE(set.vTines);
    EXPECT_TRUE(set.centreLine);
    EXPECT_FALSE(set.tineLabels) << "text without digits reads as 0";
    EXPECT_FALSE(set.drawFirstBar);
    EXPECT_EQ(set.metrics.bottomMargin, 120) << "80, scaled";

    for (const char* first : {"Y", "Yes", "", "x"})
        EXPECT_TRUE(resolve(screen(attr("DrawFirstBar", first))).drawFirstBar) << first;
    EXPECT_FALSE(resolve(screen(attr("DrawFirstBar", "n"))).drawFirstBar);
}

TEST(DisplayOptions, ToolsInTheirColours)
{
    Music::Config config;
    config.tines = "Number=\"5\" ShadeColor=\"65280\"";
    const DisplayOptions o = resolve(config);
    EXPECT_EQ(o.tools.shadeBrush.color(), QColor(0, 255, 0)) << "0x00BBGGRR";
    EXPECT_EQ(o.tools.laneBrush.color(), QColor(0xC8, 0xC8, 0xC8));
    EXPECT_EQ(o.tools.cursorCellBrush.color(), QColor(0x3C, 0x3C, 0x3C));
    EXPECT_EQ(o.tools.whitePen.color(), QColor(Qt::white));
    EXPECT_EQ(o.tools.framePen.color(), QColor(Qt::black));
    EXPECT_EQ(resolve(Music::Config()).tools.shadeBrush.color(), QColor(255, 0, 0)) << "the default shade";

    EXPECT_EQ(o.tools.labelFont.family(), QStringLiteral("Arial"));
    EXPECT_DOUBLE_EQ(o.tools.labelFont.pointSizeF(), o.tools.labelTenths / 10.0);

    const DisplayOptions fresh; // a view before its first resolution
    EXPECT_EQ(fresh.tools.doublePen.width(), 2);
    EXPECT_EQ(fresh.tools.shadeBrush.color(), QColor(255, 0, 0));
    EXPECT_EQ(fresh.tools.labelTenths, 90);
}

} // namespace
