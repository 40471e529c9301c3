// Converting the note list of a file from before bar elements.
#include "doc/music_upgrade.h"

#include "thread_seconds.h"
#include "tree_description.h"
#include "xml/xpxml.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Conversion {
    const char* name;
    const char* notes; // the old note list
    const char* expected;
};

class ConvertOldNoteList : public testing::TestWithParam<Conversion> {};

TEST_P(ConvertOldNoteList, MovesBarDataOntoBars)
{
    XPxmlDoc doc;
    ASSERT_EQ(doc.loadText(GetParam().notes), 0);
    convertOldNoteList(doc.rootElement());
    EXPECT_EQ(describeChildren(doc.rootElement()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Upgrade, ConvertOldNoteList,
    testing::Values(
        Conversion{"FourNotesInThreeFour",
                   R"(<Notes><Note Timing="3/4" Tempo="90" Value="4"/><Note Value="4"/><Note Value="4"/><Note Value="2"/></Notes>)",
                   "Bar(Type=Auto Timing=M3/4 Tempo=90)\nNote(Value=4)\nNote(Value=4)\nNote(Value=4)\n"
                   "Bar(Type=Auto Timing=A3/4)\nNote(Value=2)\n"},
        Conversion{"MeasureMakesAManualBarAnywhere",
                   R"(<Notes><Note/><Note/><Note Measure="Y"/><Note/><Note/></Notes>)",
                   "Bar(Type=Auto Timing=A4/4)\nNote()\nNote()\nBar(Type=Manual Timing=A4/4)\nNote()\nNote()\n"
                   "Bar(Type=Auto Timing=A4/4)\nNote()\n"},
        Conversion{"TempoWaitsForTheNextBar",
                   R"(<Notes><Note/><Note Tempo="60"/><Note/><Note Measure="Y"/><Note/></Notes>)",
                   "Bar(Type=Auto Timing=A4/4)\nNote()\nNote()\nNote()\nBar(Type=Manual Timing=A4/4 Tempo=60)\n"
                   "Note()\nBar(Type=Auto Timing=A4/4)\nNote()\n"},
        Conversion{"TimingWithLetterKeepsIt",
                   R"(<Notes><Note/><Note Timing="A6/8"/><Note Timing="M2/4"/><Note/></Notes>)",
                   "Bar(Type=Auto Timing=A4/4)\nNote()\nBar(Type=Auto Timing=A6/8)\nNote()\n"
                   "Bar(Type=Auto Timing=M2/4)\nNote()\nBar(Type=Auto Timing=A2/4)\nNote()\n"},
        Conversion{"ExistingBarsAndRests",
                   R"(<Notes><Bar Type="Manual"/><Rest Value="4" Timing="2/2"/><Note/></Notes>)",
                   "Bar(Type=Manual)\nBar(Type=Auto Timing=M2/2)\nRest(Value=4)\nBar(Type=Auto Timing=A2/2)\nNote()\n"},
        Conversion{"SingleNoteGetsOneBar",
                   R"(<Notes><Note Measure="Y" Tempo="70"/></Notes>)",
                   "Bar(Type=Manual Timing=A4/4 Tempo=70)\nNote()\n"},
        Conversion{"TextAndCommentsAreNoEvents",
                   R"(<Notes><Note/>x<Note/><!-- end --></Notes>)",
                   "Bar(Type=Auto Timing=A4/4)\nNote()\nBar(Type=Auto Timing=A4/4)\nNote()\n"},
        Conversion{"EmptyList", "<Notes/>", ""}),
    [](const testing::TestParamInfo<Conversion>& info) { return info.param.name; });

// A hostile file may hold hundreds of thousands of notes that each want a bar:
// putting the bars in must cost about what reading the file did, not a pass
// over the rest of the list for every bar.
TEST(ConvertOldNoteListTime, GrowsWithTheListAsTheParseDoes)
{
    std::string notes = "<Notes>";
    for (int i = 0; i < 32000; ++i)
        notes += "<Note Timing=\"3/4\" Value=\"4\"/>";
    notes += "</Notes>";
    XPxmlDoc doc;
    const double parse = threadSecondsOf([&] { EXPECT_EQ(doc.loadText(notes.c_str()), 0); });
    const double convert = threadSecondsOf([&] { convertOldNoteList(doc.rootElement()); });
    // About six times the parse under the sanitizers; a pass over the list
    // for each bar took some sixty times.
    EXPECT_LT(convert, 16 * parse);
    const XPxmlNode* list = doc.rootElement();
    ASSERT_EQ(list->childCount(), 64000u);
    EXPECT_STREQ(list->childAt(63998)->name(), "Bar");
    EXPECT_STREQ(list->childAt(63999)->name(), "Note");
}

TEST(UpgradeOldMusic, SetsSpacingAndSwitches)
{
    XPxmlDoc doc;
    ASSERT_EQ(doc.loadText(R"(<Config><Notes NoteSpacing="Fixed" Tails="New"/><PrintNotes/><Options BarNumbers="1" Lyrics="0" VTines="1"/><List/></Config>)"), 0);
    XPxmlNode* config = doc.rootElement();
    upgradeOldMusic(config->findChild("Notes"), config->findChild("PrintNotes"), config->findChild("Options"),
                    config->findChild("List"));
    EXPECT_EQ(describeChildren(config),
              "Notes(NoteSpacing=Variable Tails=New NoteSpacingSize=20 MeasureSpacing=Variable MeasureSpacingSize=300)\n"
              "PrintNotes(NoteSpacing=Variable NoteSpacingSize=20 MeasureSpacing=Variable MeasureSpacingSize=300)\n"
              "Options(BarNumbers=0 Lyrics=1 VTines=1)\n"
              "List()\n");
    upgradeOldMusic(nullptr, nullptr, nullptr, nullptr); // a tree without them is passed over
}

} // namespace
