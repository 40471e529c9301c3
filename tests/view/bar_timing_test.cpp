// Bar timing: automatic bars follow the time signatures, early ones go,
// overfull measures are marked, the music is closed and the opening bar
// takes what the bar after it sets; the cursor and selection leave removed
// bars; the note list stays whole however many bars change.
#include "music_fixture.h"

#include "view/bar_timing.h"
#include "view/event_facts.h"
#include "xml/xpxml.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

const std::string kManual = "Manual";

// The note list after one check from the first element.
std::string checked(const std::string& notes)
{
    Music music(notes);
    music.checkBarTiming();
    return music.describe();
}

TEST(BarTiming, DefaultMusicPassesUnchanged)
{
    Music music("");
    const std::string before = music.describe();
    EXPECT_EQ(before, "|A4/4 4 4 4 4 |A4/4 4 4 4 4 |A4/4 4 4 4 4 |A4/4 4 4 4 4 |A4/4");
    music.checkBarTiming();
    EXPECT_EQ(music.describe(), before);
    EXPECT_FALSE(music.doc.isModified());
}

TEST(BarTiming, MeasuresFollowTheTimeSignature)
{
    struct Row {
        const char* what;
        std::string notes;
        std::string expected;
    };
    const Row rows[] = {
        {"five quarters get a bar before the fifth and a closing bar",
         bar() + repeat(note("4"), 5), "|A4/4 4 4 4 4 |A4/4 4 |A4/4"},
        {"a half and a dotted half overfill the measure",
         bar() + note("2") + note("2.") + note("4"), "|A4/4 2 2. |A4/4! 4 |A4/4"},
        {"an early automatic bar goes",
         bar() + repeat(note("4"), 3) + bar() + note("4") + bar(), "|A4/4 4 4 4 4 |A4/4"},
        {"a manual bar stays, without a mark",
         bar() + repeat(note("4"), 3) + bar("A4/4", kManual) + note("4") + bar(),
         "|A4/4 4 4 4 |A4/4(Manual) 4 |A4/4"},
        {"the closing bar is appended", bar() + note("4") + note("4"), "|A4/4 4 4 |A4/4"},
        {"an overfull closing measure is not marked", bar() + note("2") + note("2.") + bar(), "|A4/4 2 2. |A4/4"},
        {"eighths and dots add up", bar() + note("8") + note("8") + note("4.") + note("8") + note("4") + note("4"),
         "|A4/4 8 8 4. 8 4 |A4/4 4 |A4/4"},
        {"three triplet eighths fill one beat",
         bar("M1/4", kManual) + note("8", attr("Tuplet", "F")) + note("8", attr("Tuplet", "Y")) +
             note("8", attr("Tuplet", "L")) + note("4"),
         "|M1/4(Manual) 8/F 8/Y 8/L |A1/4 4 |A1/4"},
        {"a value of 0 or none counts as a quarter",
         bar() + note("0") + "<Note Tines=\"1\"/>" + note("x") + note("4") + note("4"), "|A4/4 0  x 4 |A4/4 4 |A4/4"},
        {"a zero time signature counts as 4/4 and gains nothing on the next run",
         bar("M0/0", kManual) + repeat(note("4"), 5), "|M0/0(Manual) 4 4 4 4 |A0/0 4 |A0/0"},
        {"3/8 measures", bar("M3/8", kManual) + repeat(note("8"), 4) + note("4."), "|M3/8(Manual) 8 8 8 |A3/8 8 4. |A3/8"},
    };
    for (const Row& row : rows) {
        Music music(row.notes);
        music.checkBarTiming();
        EXPECT_EQ(music.describe(), row.expected) << row.what;
        const std::string once = music.describe();
        music.checkBarTiming();
        EXPECT_EQ(music.describe(), once) << row.what << ": a second check changes nothing";
    }
}

// Triplet beats do not add up exactly in binary: a measure that is exactly
// full must still keep the automatic bar that closes it, with all it carries.
TEST(BarTiming, BarsClosingMeasuresWithTripletsKeepWhatTheyCarry)
{
    const std::string carried = attr("Tempo", "96") + attr("Text", "la") + attr("Modifier", "CloseRepeat") +
                                attr("RepeatCount", "2") + attr("Colour", "red");
    for (const auto& [beats, unit] : {std::pair{2, 4}, {3, 4}, {4, 4}, {6, 8}}) {
        for (int value : {2, 4, 8, 16, 32}) {
            const int straight = beats * value / unit - 2; // a triplet of value fills two of them
            if (straight < 0)
                continue;
            const std::string v = std::to_string(value);
            const std::string triplet = note(v, attr("Tuplet", "F")) + note(v, attr("Tuplet", "Y")) +
                                        note(v, attr("Tuplet", "L"));
            const std::string timing = std::to_string(beats) + "/" + std::to_string(unit);
            for (bool tripletFirst : {true, false}) {
                const std::string measure =
                    tripletFirst ? triplet + repeat(note(v), straight) : repeat(note(v), straight) + triplet;
                Music music(bar("M" + timing, kManual) + measure + bar("A" + timing, "Auto", carried) + measure +
                            bar("A" + timing));
                const std::string what = timing + " triplet " + v + (tripletFirst ? " first" : " last");
                music.checkBarTiming();
                const int closing = 1 + straight + 3;
                XPxmlNode* held = music.at(closing);
                ASSERT_NE(held, nullptr) << what;
                EXPECT_STREQ(held->getAttribute("Tempo"), "96") << what;
                EXPECT_STREQ(held->getAttribute("Text"), "la") << what;
                EXPECT_STREQ(held->getAttribute("Modifier"), "CloseRepeat") << what;
                EXPECT_STREQ(held->getAttribute("RepeatCount"), "2") << what;
                EXPECT_STREQ(held->getAttribute("Colour"), "red") << what;
                EXPECT_EQ(held->getAttribute("~Error"), nullptr) << what;

                const std::string once = music.describe();
                std::vector<XPxmlNode*> nodes;
                for (int i = 0; music.at(i); ++i)
                    nodes.push_back(music.at(i));
                music.checkBarTiming();
                EXPECT_EQ(music.describe(), once) << what << ": a second check changes nothing";
                for (size_t i = 0; i < nodes.size(); ++i)
                    EXPECT_EQ(music.at(int(i)), nodes[i]) << what << ": the same nodes, element " << i;
                EXPECT_EQ(music.at(int(nodes.size())), nullptr) << what;
            }
        }
    }
}

TEST(BarTiming, TimingsPropagateFromTheBarThatSetsThem)
{
    EXPECT_EQ(checked(bar("M3/4", kManual) + repeat(note("4"), 3) + bar("A4/4") + repeat(note("4"), 3) +
                      bar("M2/4", kManual) + repeat(note("4"), 2) + bar("a9/9") + "<Bar Type=\"Auto\"/>"),
              "|M3/4(Manual) 4 4 4 |A3/4 4 4 4 |M2/4(Manual) 4 4 |A2/4 |A2/4");
}

TEST(BarTiming, ABarAfterTheOpeningBarMergesIntoIt)
{
    struct Row {
        const char* what;
        std::string notes;
        std::string expected;
    };
    const Row rows[] = {
        {"its time signature", bar() + bar("M3/4", kManual) + repeat(note("4"), 3) + bar(),
         "|M3/4(AutoManual) 4 4 4 |A3/4"},
        {"an automatic one is removed as too early first", bar() + bar() + repeat(note("4"), 4) + bar(),
         "|A4/4 4 4 4 4 |A4/4"},
        {"not when both set a time signature",
         bar("M3/4", kManual) + bar("M2/4", kManual) + repeat(note("4"), 2) + bar(),
         "|M3/4(Manual) |M2/4(Manual) 4 4 |A2/4"},
        {"not the closing bar", bar() + bar("A4/4", kManual), "|A4/4 |A4/4(Manual)"},
        {"a manual opening bar keeps its type", bar("A4/4", kManual) + bar("M3/4", kManual) + note("2.") + bar(),
         "|M3/4(Manual) 2. |A3/4"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(checked(row.notes), row.expected) << row.what;
}

TEST(BarTiming, MergeCopiesTempoAndRepeatUnlessTheyDisagree)
{
    const std::string tail = repeat(note("4"), 4) + bar();
    {
        Music music(bar() + bar("A4/4", kManual, attr("Tempo", "96") + attr("Modifier", "OpenRepeat") +
                                                     attr("RepeatCount", "3")) +
                    tail);
        music.checkBarTiming();
        EXPECT_EQ(music.describe(), "|A4/4(AutoManual) 4 4 4 4 |A4/4");
        XPxmlNode* opening = music.at(0);
        EXPECT_STREQ(opening->getAttribute("Tempo"), "96");
        EXPECT_STREQ(opening->getAttribute("Modifier"), "OpenRepeat");
        EXPECT_STREQ(opening->getAttribute("RepeatCount"), "3");
    }
    for (const std::string& clash : {attr("Tempo", "90"), attr("Modifier", "CloseRepeat")}) {
        Music music(bar("A4/4", "Auto", clash) +
                    bar("M3/4", kManual, attr("Tempo", "96") + attr("Modifier", "OpenRepeat")) + tail);
        music.checkBarTiming();
        EXPECT_EQ(music.describe(), "|A4/4 |M3/4(Manual) 4 4 4 |A3/4 4 |A3/4") << clash;
    }
    {
        // The same tempo on both is no disagreement.
        Music music(bar("A4/4", "Auto", attr("Tempo", "96")) + bar("A4/4", kManual, attr("Tempo", "96")) + tail);
        music.checkBarTiming();
        EXPECT_EQ(music.describe(), "|A4/4(AutoManual) 4 4 4 4 |A4/4");
    }
}

TEST(BarTiming, CheckingFromLaterLeavesEarlierMeasuresAlone)
{
    const std::string notes = bar() + repeat(note("4"), 5) + bar("A4/4", kManual) + repeat(note("4"), 5) + bar();
    {
        Music music(notes);
        music.layout.CheckBarTiming(music.at(9), music.cursor); // a note of the second measure
        EXPECT_EQ(music.describe(), "|A4/4 4 4 4 4 4 |A4/4(Manual) 4 4 4 4 |A4/4 4 |A4/4");
    }
    {
        Music music(notes);
        music.layout.CheckBarTiming(music.at(6), music.cursor); // the second bar: from the measure before it
        EXPECT_EQ(music.describe(), "|A4/4 4 4 4 4 |A4/4 4 |A4/4(Manual) 4 4 4 4 |A4/4 4 |A4/4");
    }
}

TEST(BarTiming, CursorAndSelectionLeaveRemovedBars)
{
    const std::string notes = bar() + note("2") + bar() + note("2") + bar();
    struct Row {
        const char* what;
        int cursor, anchor, end;                  // indices before the check; -1: none
        int cursorAfter, anchorAfter, endAfter;   // indices after it
    };
    const Row rows[] = {
        {"cursor to the element before", 2, -1, -1, 1, -1, -1},
        {"anchor to the next element, end to the previous", -1, 2, 2, -1, 2, 1},
        {"a selection left with one end is cleared", -1, 2, -1, -1, -1, -1},
        {"elements elsewhere keep their place", 1, 0, 3, 1, 0, 2},
    };
    for (const Row& row : rows) {
        Music music(notes);
        auto element = [&music](int index) { return index < 0 ? nullptr : music.at(index); };
        music.cursor.element = element(row.cursor);
        music.cursor.selectionAnchor = element(row.anchor);
        music.cursor.selectionEnd = element(row.end);
        music.checkBarTiming();
        ASSERT_EQ(music.describe(), "|A4/4 2 2 |A4/4") << row.what;
        EXPECT_EQ(music.cursor.element.load(), row.cursorAfter < 0 ? nullptr : music.at(row.cursorAfter)) << row.what;
        EXPECT_EQ(music.cursor.selectionAnchor, element(row.anchorAfter)) << row.what;
        EXPECT_EQ(music.cursor.selectionEnd, element(row.endAfter)) << row.what;
    }
}

TEST(BarTiming, CursorLeavesTheBarMergedIntoTheOpeningBar)
{
    Music music(bar() + bar("M3/4", kManual) + note("2.") + bar());
    XPxmlNode* opening = music.at(0);
    music.cursor.element = music.at(1);
    music.cursor.selectionAnchor = music.at(1);
    music.cursor.selectionEnd = music.at(2);
    music.checkBarTiming();
    EXPECT_EQ(music.describe(), "|M3/4(AutoManual) 2. |A3/4");
    EXPECT_EQ(music.cursor.element.load(), opening);
    EXPECT_EQ(music.cursor.selectionAnchor, music.at(1)) << "to the element after the merged bar";
    EXPECT_EQ(music.cursor.selectionEnd, music.at(1));
}

// Many changes rebuild the list in one sweep, a few are made in place: the
// result must not depend on which.
TEST(BarTiming, EveryMisplacedBarIsMendedInLongPieces)
{
    for (int measures : {1, 10, 40, 100, 400}) {
        // Each measure: three quarters, an automatic bar too early, a fourth quarter.
        const std::string notes = "<!--intro-->" + bar() + repeat(repeat(note("4"), 3) + bar() + note("4"), measures);
        Music music(notes);
        music.checkBarTiming();
        EXPECT_EQ(music.describe(), "|A4/4" + repeat(" 4 4 4 4 |A4/4", measures)) << measures;

        // The list is whole: every child knows its list and document, the comment kept its place.
        XPxmlNode* list = music.list();
        XPxmlNode* first = list->childAt(0);
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first->kind(), XPxmlKind::Comment) << measures;
        uint32_t walked = 0;
        for (XPxmlNode* child = first; child; child = child->nextSibling(), ++walked) {
            EXPECT_EQ(child->parent(), list);
            if (child->kind() == XPxmlKind::Element) {
                EXPECT_EQ(child->document(), &music.doc.tree());
            }
        }
        EXPECT_EQ(walked, list->childCount()) << measures;
        EXPECT_EQ(walked, uint32_t(2 + measures * 5)) << measures;
    }
}

TEST(BarTiming, NothingHappensWithoutMusic)
{
    ViewCursor cursor;
    CheckBarTiming(nullptr, nullptr, cursor);
    XPxmlDoc tree;
    ASSERT_EQ(tree.loadText("<Notes><!--only a comment--></Notes>"), 0);
    CheckBarTiming(tree.rootElement(), nullptr, cursor);
    EXPECT_EQ(tree.rootElement()->childCount(), 1u);

    ViewLayout layout; // no document yet
    layout.CheckBarTiming(nullptr, cursor);
    layout.RefreshLayout();
    EXPECT_EQ(layout.ComputeExtent(true), QSize());
}

TEST(BarTiming, MusicThatDoesNotOpenWithABarStillGetsMeasures)
{
    // The first element stands for the opening bar: the measure starts after it.
    EXPECT_EQ(checked(repeat(note("4"), 6)), "4 4 4 4 4 |A4/4 4 |A4/4");
}

TEST(PropagateTimings, UpdatesTheFactsAsWellAsTheTree)
{
    Music music(bar("M6/8", kManual) + note("4") + bar("A4/4"));
    EventTable events;
    collectEvents(music.list(), events);
    PropagateTimings(events);
    EXPECT_STREQ(events[2].timing, "A6/8");
    EXPECT_EQ(events[2].beats, 6);
    EXPECT_EQ(events[2].unit, 8);
    EXPECT_STREQ(music.at(2)->getAttribute("Timing"), "A6/8");
}

} // namespace
