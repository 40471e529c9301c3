// Placement: band heights, positions in every spacing mode, the document
// size with the widest lyric, and the mapping to window coordinates.
#include "music_fixture.h"

#include "view/event_facts.h"
#include "view/event_placement.h"
#include "view/position_text.h"
#include "view/table_memory.h"
#include "xml/xpxml.h"

#include <QFontMetrics>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

Music::Config screen(const std::string& attributes)
{
    Music::Config config;
    config.screen = attributes;
    return config;
}

EventPosition positionOf(const XPxmlNode* element)
{
    return parsePosition(element->getAttribute("~Pos"));
}

TEST(MeasureEvents, BandHeights)
{
    struct Row {
        const char* what;
        std::string element;
        std::string screen;
        int64_t height;
    };
    const std::string minimal = attr("Tails", "Minimal");
    const Row rows[] = {
        {"note", note("4"), minimal, 10},
        {"dotted note", note("4."), minimal, 16},
        {"double-dotted note", note("2.."), minimal, 22},
        {"dots anywhere after the number", note("8x.."), minimal, 22},
        {"rest", "<Rest Value=\"4.\"/>", minimal, 16},
        {"Modern note", note("4"), attr("Tails", "Modern"), 20},
        {"bar", bar(), minimal, 16},
        {"bar with a repeat mark", bar("A4/4", "Auto", attr("Modifier", "OpenRepeat")), minimal, 46},
        {"bar repeating both ways", bar("A4/4", "Auto", attr("Modifier", "bothrepeat")), minimal, 66},
        {"bar with an empty modifier", bar("A4/4", "Auto", attr("Modifier", "")), minimal, 46},
        {"dotted note at scale 1.5", note("4."), minimal + attr("Scale", "1.5"), 15 + 9},
        {"repeat bar at scale 1.5", bar("A4/4", "Auto", attr("Modifier", "BothRepeat")),
         minimal + attr("Scale", "1.5"), 24 + 12 + 28 + 3 + 12 + 14 + 3},
    };
    for (const Row& row : rows) {
        Music music(bar() + row.element + bar(), screen(row.screen));
        music.layout.RefreshLayout();
        EXPECT_EQ(positionOf(music.at(1)).height, row.height) << row.what;
    }

    Music opening(bar() + note("4"));
    opening.layout.RefreshLayout();
    EXPECT_EQ(positionOf(opening.at(0)).height, 8) << "the opening bar is half as tall";
    Music openingRepeat(bar("A4/4", "Auto", attr("Modifier", "OpenRepeat")) + note("4"));
    openingRepeat.layout.RefreshLayout();
    EXPECT_EQ(positionOf(openingRepeat.at(0)).height, 38);
}

TEST(PlaceEvents, EachElementAboveTheOneBefore)
{
    Music music(bar() + note("4") + note("2") + bar() + note("4."));
    music.layout.RefreshLayout();
    // Bars follow notes with a gap, notes follow bars without one.
    EXPECT_EQ(music.positions(), "8,8 18,10 48,10 84,16 100,16");
}

TEST(PlaceEvents, VariableNoteGapsFollowThePreviousValue)
{
    struct Row {
        const char* value;
        int64_t gap;
    };
    const Row rows[] = {{"1", 20}, {"2", 10}, {"4", 5}, {"4.", 5}, {"8", 2}, {"16", 2}, {"64", 2},
                        {"3", 6},  {"0", 5},  {"", 5},  {"x", 5}, {"-2", 5}, {"1e-9", 5}, {"1.5", 13}};
    for (const Row& row : rows) {
        Music music(bar() + note(row.value) + note("4"), screen(attr("NoteSpacing", "Variable")));
        music.layout.RefreshLayout();
        const EventPosition first = positionOf(music.at(1));
        const EventPosition second = positionOf(music.at(2));
        EXPECT_EQ(second.position - second.height - first.position, row.gap) << row.value;
    }
}

TEST(PlaceEvents, FixedMeasuresPlaceNotesByTheirBeat)
{
    Music music(bar() + repeat(note("4"), 4) + bar() + note("2") + note("4.") + note("8") + bar(),
                screen(attr("MeasureSpacing", "Fixed") + attr("NoteSpacing", "Variable")));
    music.layout.RefreshLayout();
    const EventPosition opening = positionOf(music.at(0));
    EXPECT_EQ(opening.position, 8);
    std::vector<int64_t> bottoms;
    for (int i = 1; i <= 4; ++i) {
        const EventPosition at = positionOf(music.at(i));
        bottoms.push_back(at.position - at.height - opening.position);
    }
    EXPECT_EQ(bottoms, (std::vector<int64_t>{0, 100, 200, 300})) << "above the top of the bar's band";
    const EventPosition second = positionOf(music.at(5));
    EXPECT_EQ(second.position, 8 + 400 + 16);
    // A half, a dotted quarter and an eighth: beats 0, 2 and 3.5.
    EXPECT_EQ(positionOf(music.at(6)).position, second.position + 0 + 10);
    EXPECT_EQ(positionOf(music.at(7)).position, second.position + 200 + 16);
    EXPECT_EQ(positionOf(music.at(8)).position, second.position + 350 + 10);
    EXPECT_EQ(positionOf(music.at(9)).position, second.position + 400 + 16);
}

TEST(PlaceEvents, FixedMeasuresCutEachPositionTowardZero)
{
    Music music(bar("M3/4", "Manual") + repeat(note("4"), 3) + bar(),
                screen(attr("MeasureSpacing", "Fixed") + attr("NoteSpacing", "Variable")));
    music.layout.RefreshLayout();
    EXPECT_EQ(music.positions(), "8,8 18,10 151,10 284,10 424,16") << "400 / 3 × beat, cut: 0, 133, 266";
}

TEST(PlaceEvents, FixedMeasuresWithFixedNotes)
{
    Music music(bar() + note("4") + note("1") + bar() + note("4"),
                screen(attr("MeasureSpacing", "Fixed") + attr("MeasureSpacingSize", "100")));
    music.layout.RefreshLayout();
    EXPECT_EQ(music.positions(), "8,8 38,10 68,10 124,16 154,10");
}

TEST(PlaceEvents, AbsurdSizesNeitherWrapNorStop)
{
    Music music(bar("M1/2147483647", "Manual") + note("1") + note("1") + note("1") + bar(),
                screen(attr("MeasureSpacing", "Fixed") + attr("NoteSpacing", "Variable") +
                       attr("MeasureSpacingSize", "2147483647") + attr("Scale", "1e300")));
    music.layout.RefreshLayout();
    // Each note is worth 2147483647 beats of a one-beat measure.
    for (XPxmlNode* e = music.at(0); e; e = e->nextElementSibling()) {
        const int64_t position = positionOf(e).position;
        EXPECT_GT(position, 0);
        EXPECT_LE(position, int64_t(2e15));
    }
    EXPECT_GT(music.layout.ComputeExtent(false).height(), 0);
}

TEST(ComputeExtent, MarginsLanesAndTheWidestLyric)
{
    Music::Config config;
    config.tines = "Number=\"17\"";
    config.screen = attr("Tails", "Minimal");
    Music music(bar("A4/4", "Auto", attr("Text", "Verse")) + note("4", attr("Text", "a")) +
                    note("4", attr("Text", "grace-ful-ly")) + note("4", attr("Text", "a")) + bar(),
                config);
    music.layout.RefreshLayout();
    const int lanes = 50 + 40 + 17 * 20 + 40;
    const QFontMetrics metrics(music.layout.options().tools.labelFont);
    const int widest = std::max({metrics.horizontalAdvance("Verse"), metrics.horizontalAdvance("grace-ful-ly"),
                                 metrics.horizontalAdvance("a")});
    ASSERT_GT(widest, 0);
    const QSize size = music.layout.ComputeExtent(false);
    EXPECT_EQ(size.width(), lanes + widest);
    const int64_t last = positionOf(music.at(4)).position;
    EXPECT_EQ(size.height(), last + 50 + 40);
    EXPECT_EQ(music.layout.verticalOrigin(), 50 + last);
    EXPECT_EQ(music.layout.lowestHitY(), 50);

    // Computed again only when forced, and then from the tree.
    EXPECT_EQ(music.layout.ComputeExtent(true), size);
    music.doc.optionsElement()->setAttribute("Lyrics", "0");
    EXPECT_EQ(music.layout.ComputeExtent(false), size);
    music.layout.ResolveDisplayOptions();
    EXPECT_EQ(music.layout.ComputeExtent(true).width(), lanes) << "lyrics off: no text widens it";
}

TEST(ViewGeometry, BandsLanesAndVisibility)
{
    Music music(bar() + note("4") + note("4") + bar(), screen(attr("Tails", "Minimal")));
    music.layout.RefreshLayout();
    // Positions 8, 18, 48, 84: the origin is 50 above the last.
    ASSERT_EQ(music.layout.verticalOrigin(), 134);
    music.layout.setViewport(30, 40);
    const ViewLayout::Band window = music.layout.EventBand(music.at(1));
    EXPECT_EQ(window.top, 134 - 18 - 30);
    EXPECT_EQ(window.height, 10);
    const ViewLayout::Band document = music.layout.EventBand(music.at(1), ViewLayout::Coordinates::Document);
    EXPECT_EQ(document.top, 134 - 18);
    const ViewLayout::Band none = music.layout.EventBand(nullptr);
    EXPECT_EQ(none.top, 0);
    EXPECT_EQ(none.height, 0);

    // Document tops: bar 126, notes 116 and 86, last bar 50; the window shows 30 … 70.
    EXPECT_FALSE(music.layout.IsPartlyVisible(music.at(0)));
    EXPECT_FALSE(music.layout.IsPartlyVisible(music.at(1)));
    EXPECT_FALSE(music.layout.IsPartlyVisible(music.at(2))) << "top 86 is below the window";
    EXPECT_TRUE(music.layout.IsPartlyVisible(music.at(3)));
    music.layout.setViewport(86, 40);
    EXPECT_TRUE(music.layout.IsPartlyVisible(music.at(2)));
    // The last bar's band is 50 … 66.
    music.layout.setViewport(0, 49);
    EXPECT_FALSE(music.layout.IsPartlyVisible(music.at(3)));
    music.layout.setViewport(0, 50);
    EXPECT_TRUE(music.layout.IsPartlyVisible(music.at(3))) << "its top meets the window's bottom edge";
    music.layout.setViewport(66, 10);
    EXPECT_TRUE(music.layout.IsPartlyVisible(music.at(3))) << "its bottom meets the window's top edge";
    music.layout.setViewport(67, 10);
    EXPECT_FALSE(music.layout.IsPartlyVisible(music.at(3)));
    EXPECT_FALSE(music.layout.IsPartlyVisible(nullptr));

    EXPECT_EQ(music.layout.TineX(0), 90);
    EXPECT_EQ(music.layout.TineX(3), 90 + 3 * 20);
    Music scaled(bar() + note("4"), screen(attr("Scale", "1.5")));
    scaled.layout.RefreshLayout();
    EXPECT_EQ(scaled.layout.TineX(2), 135 + 2 * 30);
}

TEST(RefreshLayout, WorkingResultsNeverMarkTheDocument)
{
    // The middle bar ends an overfull measure: only "~Error" and "~Pos" change.
    Music music(bar() + note("2") + note("2.") + bar() + note("4") + bar());
    music.layout.CheckAndRefresh(music.doc.firstEvent(), music.cursor);
    EXPECT_EQ(music.describe(), "|A4/4 2 2. |A4/4! 4 |A4/4");
    EXPECT_NE(music.at(0)->getAttribute("~Pos"), nullptr);
    EXPECT_FALSE(music.doc.isModified());
}

TEST(RefreshLayout, PositionsNotWrittenByLayoutAreReplaced)
{
    Music music("<Bar Type=\"Auto\" Timing=\"A4/4\" ~Pos=\"008,8\"/>" + note("4", attr("~Pos", "18,10 ")) +
                note("4", attr("~Pos", "48,10")));
    music.layout.RefreshLayout();
    EXPECT_EQ(music.positions(), "8,8 18,10 48,10");
}

// The view's update reads the music once; the result must be what the two
// steps give one after the other.
TEST(RefreshLayout, CheckAndRefreshEqualsItsTwoSteps)
{
    const std::string notes = bar() + bar("M3/4", "Manual", attr("Text", "intro")) +
                              repeat(note("4", attr("Text", "la")) + note("8.") + note("16"), 5) + bar() +
                              repeat(note("2."), 3) + bar("A3/4", "Auto", attr("Modifier", "CloseRepeat"));
    const Music::Config config = screen(attr("NoteSpacing", "Variable") + attr("MeasureSpacing", "Fixed"));
    Music once(notes, config);
    once.layout.CheckAndRefresh(once.doc.firstEvent(), once.cursor);
    Music twice(notes, config);
    twice.checkBarTiming();
    twice.layout.RefreshLayout();
    EXPECT_EQ(once.describe(), twice.describe());
    EXPECT_EQ(once.positions(), twice.positions());
    EXPECT_EQ(once.layout.ComputeExtent(false), twice.layout.ComputeExtent(false));
    EXPECT_EQ(once.describe(), "|M3/4(AutoManual) 4 8. 16 4 |A3/4 8. 16 4 8. 16 |A3/4 4 8. 16 4 |A3/4 8. 16 2. "
                               "|A3/4! 2. |A3/4 2. |A3/4");
}

// A table growing from small to beyond the size where its storage changes
// kind keeps every entry on the way.
TEST(TableMemory, EntriesSurviveGrowthPastEveryStorageKind)
{
    std::vector<uint64_t, TableAllocator<uint64_t>> table;
    constexpr uint64_t kEntries = (uint64_t(48) << 20) / sizeof(uint64_t);
    for (uint64_t i = 0; i < kEntries; ++i)
        table.push_back(i * 7);
    uint64_t wrong = 0;
    for (uint64_t i = 0; i < kEntries; ++i)
        wrong += table[i] != i * 7;
    EXPECT_EQ(wrong, 0u);
    table.clear();
    table.shrink_to_fit();
    EXPECT_EQ(table.capacity(), 0u);
}

TEST(PositionText, WrittenAndReadBack)
{
    EXPECT_STREQ(formatPosition(1234, 16).text, "1234,16");
    EXPECT_STREQ(formatPosition(-5, 0).text, "-5,0");
    EXPECT_STREQ(formatPosition(INT64_MIN, INT64_MAX).text, "-9223372036854775808,9223372036854775807");
    const EventPosition read = parsePosition(" 12,7x");
    EXPECT_EQ(read.position, 12);
    EXPECT_EQ(read.height, 7);
    EXPECT_EQ(parsePosition(nullptr).position, 0);
    EXPECT_EQ(parsePosition("40").height, 0);
    EXPECT_EQ(parsePosition("9000000000,1").position, 9000000000);

    // Only what placement itself writes counts as already written.
    for (const char* text : {"8,8", "-12,0", "0,20"}) {
        int64_t position = 0, height = 0;
        EXPECT_TRUE(parseWrittenPosition(text, position, height)) << text;
        EXPECT_STREQ(formatPosition(position, height).text, text);
        EXPECT_EQ(formatPosition(position, height).view(), text);
    }
    for (const char* text : {"", "8", "08,8", "8,8 ", " 8,8", "+8,8", "8,", "-,8", "8;8", "1234567890123456789,1"}) {
        int64_t position = 0, height = 0;
        EXPECT_FALSE(parseWrittenPosition(text, position, height)) << text;
    }
}

} // namespace
