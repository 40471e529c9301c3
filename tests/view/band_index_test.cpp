// The band index answers as a walk over every element does, on random pieces
// laid out in every spacing mode, negative sizes included.
#include "music_fixture.h"

#include "view/band_index.h"
#include "xml/xpxml.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using Band = ViewLayout::Band;

int64_t bottomOf(Band b)
{
    return b.top + b.height;
}

// Bars (some with repeat marks), notes and rests of mixed lengths, and now
// and then a comment, which is no element.
std::string randomPiece(std::mt19937& random)
{
    const char* const values[] = {"1", "2", "4", "8", "16", "32", "4.", "2..", "8."};
    const char* const marks[] = {"", "OpenRepeat", "CloseRepeat", "BothRepeat"};
    auto pick = [&random](int n) { return int(random() % unsigned(n)); };
    std::string piece;
    for (int i = 20 + pick(40); i > 0; --i) {
        const int kind = pick(10);
        const std::string value = values[pick(std::size(values))];
        if (kind < 2)
            piece += bar("A4/4", "Auto", pick(3) == 0 ? attr("Modifier", marks[pick(std::size(marks))]) : "");
        else if (kind == 2)
            piece += "<Rest Value=\"" + value + "\"/>";
        else if (kind == 3)
            piece += "<!-- x -->";
        else
            piece += note(value);
    }
    return piece;
}

std::string randomScreen(std::mt19937& random)
{
    auto between = [&random](int low, int high) { return std::to_string(low + int(random() % unsigned(high - low))); };
    std::string screen = attr("Tails", "Minimal") + attr("NoteSpacingSize", between(-40, 60)) +
                         attr("MeasureSpacingSize", between(-200, 300));
    if (random() % 4 != 0)
        screen += attr("MeasureSpacing", "Fixed");
    if (random() % 2 != 0)
        screen += attr("NoteSpacing", "Variable");
    return screen;
}

// A question put to the index and to the walk about rows a … b: which
// bands answer, and which of them is taken: the one of least key (none:
// the first) or the last, the first in list order among equals.
using Index = const BandIndex&;
using List = const XPxmlNode*;
struct Query {
    const char* name;
    BandIndex::Found (*ask)(Index, List, int64_t a, int64_t b);
    bool (*answers)(Band, int64_t a, int64_t b);
    int64_t (*key)(Band) = nullptr;
    bool last = false;
};

bool meets(Band band, int64_t a, int64_t b)
{
    return band.top <= b && bottomOf(band) >= a;
}

const Query kQueries[] = {
    {"first reaching", [](Index x, List l, int64_t a, int64_t) { return x.firstReaching(l, a); },
     [](Band band, int64_t a, int64_t) { return band.top <= a; }},
    {"first meeting", [](Index x, List l, int64_t a, int64_t b) { return x.firstMeeting(l, a, b); }, meets},
    {"last meeting", [](Index x, List l, int64_t a, int64_t b) { return x.lastMeeting(l, a, b); }, meets, nullptr,
     true},
    {"first inside", [](Index x, List l, int64_t a, int64_t b) { return x.firstInside(l, a, b); },
     [](Band band, int64_t a, int64_t b) { return band.top >= a && bottomOf(band) <= b; }},
    {"over the row", [](Index x, List l, int64_t a, int64_t) { return x.overRow(l, a); },
     [](Band band, int64_t a, int64_t) { return band.top <= a && a < bottomOf(band); }, bottomOf},
    {"next below", [](Index x, List l, int64_t a, int64_t) { return x.nextBelow(l, a); },
     [](Band band, int64_t a, int64_t) { return band.top > a; }, [](Band band) { return band.top; }},
    {"ending on", [](Index x, List l, int64_t a, int64_t) { return x.endingOn(l, a); },
     [](Band band, int64_t a, int64_t) { return bottomOf(band) == a; }},
};

// The element the query takes, found by looking at every band; -1 for none.
int walk(const Query& query, const std::vector<Band>& bands, int64_t a, int64_t b)
{
    int taken = -1;
    for (size_t i = 0; i < bands.size(); ++i) {
        if (query.answers(bands[i], a, b) &&
            (taken < 0 || query.last || (query.key && query.key(bands[i]) < query.key(bands[size_t(taken)]))))
            taken = int(i);
    }
    return taken;
}

TEST(BandIndex, AnswersAsAWalkOverEveryElement)
{
    std::mt19937 random(20240611);
    int unordered = 0;
    for (int piece = 0; piece < 40; ++piece) {
        Music::Config config;
        config.screen = randomScreen(random);
        Music music(randomPiece(random), config);
        music.layout.CheckAndRefresh(music.doc.firstEvent(), music.cursor);
        unordered += music.layout.inOrder() ? 0 : 1;
        std::vector<XPxmlNode*> elements;
        std::vector<Band> bands;
        std::vector<int64_t> rows;
        for (XPxmlNode* e = music.doc.firstEvent(); e; e = e->nextElementSibling()) {
            elements.push_back(e);
            bands.push_back(music.layout.EventBand(e, ViewLayout::Coordinates::Document));
            for (const int64_t edge : {bands.back().top, bottomOf(bands.back())})
                rows.insert(rows.end(), {edge - 1, edge, edge + 1});
        }
        const BandIndex& index = music.layout.bands();
        const auto indexOf = [&elements](const XPxmlNode* e) {
            return e ? int(std::find(elements.begin(), elements.end(), e) - elements.begin()) : -1;
        };
        for (const int64_t a : rows) {
            for (const int64_t b : {a - 1, a, a + 37, a + 300}) {
                for (const Query& query : kQueries) {
                    const BandIndex::Found found = query.ask(index, music.list(), a, b);
                    ASSERT_EQ(indexOf(found.element), walk(query, bands, a, b))
                        << query.name << " for rows " << a << " … " << b << " in " << config.screen;
                    if (found.element) {
                        EXPECT_EQ(music.list()->childAt(found.child), found.element) << query.name;
                    }
                }
                int meeting = 0;
                index.forEachMeeting(music.list(), a, b, [&](BandIndex::Found found) {
                    const int i = indexOf(found.element);
                    ++meeting;
                    EXPECT_TRUE(i >= 0 && meets(bands[size_t(i)], a, b)) << "rows " << a << " … " << b;
                });
                EXPECT_EQ(meeting, std::count_if(bands.begin(), bands.end(), [&](Band c) { return meets(c, a, b); }));
            }
        }
        EXPECT_EQ(index.firstReaching(nullptr, INT64_MAX).element, nullptr) << "another list: nothing";
    }
    EXPECT_GT(unordered, 10) << "most random layouts should be out of order";
}

} // namespace
