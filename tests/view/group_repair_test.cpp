// Beam and tuplet groups: F opens, Y continues and L closes a group of notes
// with tines inside one measure; marks that do not fit are removed.
#include "music_fixture.h"

#include "view/event_facts.h"
#include "view/group_repair.h"
#include "xml/xpxml.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Notes written as their marks: "F", "Y", "L" … for the beam, "t:F" for a
// tuplet mark, "0:" in front of a note without tines, "r:" for a rest;
// "|" for a bar. Words are separated by blanks.
std::string notesFor(const std::string& marks)
{
    std::string notes = bar();
    size_t from = 0;
    while (from < marks.size()) {
        size_t to = marks.find(' ', from);
        if (to == std::string::npos)
            to = marks.size();
        std::string word = marks.substr(from, to - from);
        from = to + 1;
        if (word == "|") {
            notes += bar("A4/4", "Manual");
            continue;
        }
        std::string element = "Note";
        std::string tines = attr("Tines", "1");
        std::string mark = attr("Beam", word);
        if (word.rfind("0:", 0) == 0) {
            tines.clear();
            mark = attr("Beam", word.substr(2));
        } else if (word.rfind("r:", 0) == 0) {
            element = "Rest";
            tines.clear();
            mark = attr("Beam", word.substr(2));
        } else if (word.rfind("t:", 0) == 0) {
            mark = attr("Tuplet", word.substr(2));
        }
        notes += "<" + element + " " + attr("Value", "8") + tines + mark + "/>";
    }
    return notes;
}

// The marks left: the beam of each note (or its tuplet, prefixed "t:"), "-"
// for none, "|" for a bar; the opening bar left out.
std::string marksAfterRepair(const std::string& marks)
{
    Music music(notesFor(marks));
    EventTable events;
    collectEvents(music.list(), events);
    RepairGroups(events);
    std::string out;
    for (XPxmlNode* e = music.at(1); e; e = e->nextElementSibling()) {
        if (!out.empty())
            out += ' ';
        if (xpxmlNameEquals(e->name(), "Bar")) {
            out += "|";
            continue;
        }
        const char* beam = e->getAttribute("Beam");
        const char* tuplet = e->getAttribute("Tuplet");
        out += beam ? beam : tuplet ? std::string("t:") + tuplet : "-";
    }
    return out;
}

TEST(RepairGroups, MarksThatFormGroupsStay)
{
    for (const char* marks : {"F Y L", "F L", "F Y Y L", "F L F L", "F L | F Y L", "f y l", "X", "t:F t:Y t:L"})
        EXPECT_EQ(marksAfterRepair(marks), marks) << marks;
}

TEST(RepairGroups, MarksThatDoNotFitGo)
{
    struct Row {
        const char* marks;
        const char* expected;
    };
    const Row rows[] = {
        {"F |", "- |"},                   // a lone F before a bar: the backward pass
        {"| Y L", "| - -"},               // Y after a bar: the forward pass, and its L with it
        {"L", "-"},
        {"F Y", "- -"},                   // a group without its end, at the end of the music
        {"F Y | L", "- - | -"},           // a bar ends every group
        {"F F L", "- - -"},               // a removed mark reads as empty for the next note
        {"0:F Y L", "- - -"},             // a note without tines carries no mark
        {"F r:Y L", "- - -"},             // nor does a rest
        {"F X L", "- X -"},               // other marks stay, but break groups
        {"t:F t:Y", "- -"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(marksAfterRepair(row.marks), row.expected) << row.marks;
}

TEST(RepairGroups, BeamsAndTupletsAreRepairedApart)
{
    Music music(bar() + note("8", attr("Beam", "F") + attr("Tuplet", "F")) +
                note("8", attr("Beam", "L") + attr("Tuplet", "Y")) + note("8", attr("Tuplet", "L")) +
                note("8", attr("Beam", "F")));
    EventTable events;
    collectEvents(music.list(), events);
    RepairGroups(events);
    EXPECT_STREQ(music.at(1)->getAttribute("Beam"), "F");
    EXPECT_STREQ(music.at(2)->getAttribute("Beam"), "L");
    EXPECT_EQ(music.at(4)->getAttribute("Beam"), nullptr) << "a lone F at the end";
    for (int i = 1; i <= 3; ++i)
        EXPECT_NE(music.at(i)->getAttribute("Tuplet"), nullptr) << i;
    EXPECT_EQ(events[4].beam, 0);
    EXPECT_EQ(events[3].tuplet, 'L');
}

TEST(RepairGroups, RunsAtTheEndOfTheBarTimingCheck)
{
    Music music(bar() + note("4", attr("Beam", "F")) + repeat(note("4", attr("Beam", "Y")), 3) +
                note("4", attr("Beam", "L")));
    music.checkBarTiming();
    // The bar inserted before the fifth note splits the group: all of it goes.
    EXPECT_EQ(music.describe(), "|A4/4 4 4 4 4 |A4/4 4 |A4/4");
}

} // namespace
