// The stretch of music a paint draws and the number of its first bar, found
// anywhere in a long piece and the same however the view got there.
#include "drawing_fixture.h"

#include "view/visible_range.h"
#include "xml/xpxml.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

namespace {

// The number of bars from the first element up to and including element.
long barNumberOf(const Music& music, const XPxmlNode* element)
{
    long bars = 0;
    for (const XPxmlNode* e = music.doc.firstEvent(); e; e = e->nextElementSibling()) {
        bars += isBar(e) ? 1 : 0;
        if (e == element)
            break;
    }
    return bars;
}

TEST(VisibleRange, StartsAtABarAndEndsAboveTheWindow)
{
    // 60 measures of four quarters, with a comment in the list that is no element.
    const std::string measure = bar() + note("4") + note("4") + "<!-- x -->" + note("4") + note("4");
    Music music(repeat(measure, 60) + bar());
    music.layout.RefreshLayout();
    ASSERT_TRUE(music.layout.inOrder());
    const int height = 300;
    const int64_t documentHeight = music.layout.ComputeExtent(false).height();
    VisibleRangeFinder walked; // numbers each range from the one before
    for (int64_t scroll : {int64_t(0), documentHeight / 2, documentHeight / 3, documentHeight - height, int64_t(1234),
                           documentHeight / 2}) {
        music.layout.setViewport(int(scroll), height);
        VisibleRangeFinder fresh;
        const VisibleRange range = fresh.find(music.layout, music.list());
        ASSERT_NE(range.start, nullptr) << scroll;
        EXPECT_TRUE(isBar(range.start)) << scroll;
        EXPECT_EQ(range.startBar, barNumberOf(music, range.start)) << scroll;
        EXPECT_EQ(range.opening, range.start == music.doc.firstEvent()) << scroll;
        // Everything between a visible element and the start is below the window.
        for (const XPxmlNode* e = range.start; e && !music.layout.IsPartlyVisible(e); e = e->nextElementSibling()) {
            const ViewLayout::Band b = music.layout.EventBand(e);
            EXPECT_GT(b.top, 0) << scroll;
        }
        EXPECT_TRUE(range.end == music.doc.lastEvent() ||
                    (isBar(range.end) && !music.layout.IsPartlyVisible(range.end)))
            << scroll;
        const VisibleRange again = walked.find(music.layout, music.list());
        EXPECT_EQ(again.start, range.start);
        EXPECT_EQ(again.startBar, range.startBar) << scroll;
    }
}

TEST(VisibleRange, MusicWithoutAnOpeningBarNumbersItsFirstBarOne)
{
    Music music(note("4") + note("4") + bar() + note("4") + bar());
    music.layout.RefreshLayout();
    music.layout.setViewport(0, 1000);
    VisibleRangeFinder finder;
    const VisibleRange range = finder.find(music.layout, music.list());
    EXPECT_EQ(range.start, music.doc.firstEvent());
    EXPECT_TRUE(range.opening);
    EXPECT_EQ(range.startBar, 1);
}

TEST(VisibleRange, NothingWhenTheWindowShowsNoElement)
{
    Music music(bar() + note("4") + bar());
    music.layout.RefreshLayout();
    music.layout.setViewport(-1000, 100); // above the music
    VisibleRangeFinder finder;
    EXPECT_EQ(finder.find(music.layout, music.list()).start, nullptr);
    EXPECT_EQ(finder.find(music.layout, nullptr).start, nullptr);
}

// Wherever the view is scrolled, every element that shows is drawn, with
// the lanes and the centre line behind it, also when bands do not rise along
// the list.
TEST(VisibleRange, UnorderedLayoutsDrawEveryElementThatShows)
{
    const QSize client(300, 120);
    for (const UnorderedLayout& piece : unorderedLayouts()) {
        Drawing d(piece.notes, withOptions("Number=\"5\"", piece.screen, "TineLabels=\"0\" CenterLine=\"1\""), 0,
                  client);
        ViewLayout& layout = d.music.layout;
        EXPECT_FALSE(layout.inOrder()) << piece.name;
        const LayoutMetrics& m = d.metrics();
        XPxmlNode* const first = d.music.doc.firstEvent();
        int64_t highest = INT64_MAX;
        int64_t lowest = INT64_MIN;
        for (XPxmlNode* e = first; e; e = e->nextElementSibling()) {
            const ViewLayout::Band b = layout.EventBand(e, ViewLayout::Coordinates::Document);
            highest = std::min(highest, b.top);
            lowest = std::max(lowest, b.top + b.height);
        }
        std::string missing;
        for (int64_t scroll = highest - client.height(); scroll <= lowest && missing.empty(); scroll += 7) {
            layout.setViewport(int(scroll), client.height());
            d.paint();
            int index = 0;
            const auto miss = [&](const char* what) {
                if (missing.empty())
                    missing = what + std::to_string(index) + " scrolled to " + std::to_string(scroll);
            };
            for (XPxmlNode* e = first; e; e = e->nextElementSibling(), ++index) {
                // Where its ink must be: a note's head in lane 1, a bar's line across lane 3.
                const ViewLayout::Band b = layout.EventBand(e);
                int left = d.tineX(0) + (m.tineWidth - m.noteSize) / 2;
                int width = m.noteSize;
                int64_t top = b.top + b.height - m.noteSize;
                int64_t rows = m.noteSize;
                if (isBar(e)) {
                    left = d.tineX(2) + m.tineWidth / 2;
                    width = 1;
                    rows = m.thinLine;
                    top = e == first                  ? b.top + b.height - m.thinLine
                          : !e->nextElementSibling() ? b.top
                                                      : b.top + b.height / 2 - m.thinLine / 2;
                }
                const int from = int(std::max<int64_t>(top, 0));
                const int to = int(std::min<int64_t>(top + rows, client.height()));
                if (from < to && !d.hasInk(left, from, left + width, to))
                    miss("element ");
                // Behind the band's top and bottom rows, at most one of them a
                // bar's line: lane 5 and the centre line at lane 3's left edge.
                for (const int64_t row : {b.top, b.top + b.height - 1}) {
                    if (row < 0 || row >= client.height())
                        continue;
                    if (d.at(d.tineX(4) + m.tineWidth / 2, int(row)) == kWhite)
                        miss("lane behind element ");
                    if (d.at(d.tineX(2) + 1, int(row)) != kBlack)
                        miss("centre line behind element ");
                }
            }
        }
        EXPECT_EQ(missing, "") << piece.name;
    }
}

} // namespace
