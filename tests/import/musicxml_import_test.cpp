// MusicXML into tablature: each element the importer reads, one row each.
#include "import_fixture.h"
#include "musicxml_text.h"

#include "container_maker.h"
#include "doc/music_vocabulary.h"
#include "view/bar_timing.h"
#include "view/view_cursor.h"
#include "xml/xpxml_node.h"

#include <gtest/gtest.h>

namespace {

const std::string kTriplet = "<time-modification><actual-notes>3</actual-notes><normal-notes>2</normal-notes>"
                             "</time-modification>";
const std::string kChord = "<chord/>";
const std::string kTieStart = "<tie type=\"start\"/>";
const std::string kTieStop = "<tie type=\"stop\"/>";
const std::string kWhole = xmlNote("C", 4, 48, "whole");
const std::string kWholeD = xmlNote("D", 4, 48, "whole");

std::string attributes(const std::string& inner)
{
    return "<attributes>" + inner + "</attributes>";
}

std::string barline(const char* location, const std::string& repeat)
{
    return std::string("<barline location=\"") + location + "\">" + repeat + "</barline>";
}

struct XmlRow {
    const char* rule;
    std::vector<std::string> measures;
    const char* music;
};

template <size_t N>
void expectMusic(const XmlRow (&rows)[N])
{
    for (const XmlRow& row : rows) {
        const Imported imported = importText(xmlScore(row.measures));
        ASSERT_TRUE(imported.ok) << row.rule << (imported.messages.empty() ? "" : imported.messages[0]);
        EXPECT_EQ(imported.music(), row.music) << row.rule;
    }
}

TEST(MusicXmlImport, ElementRules)
{
    const XmlRow rows[] = {
        {"chord",
         {xmlNote("C", 4, 12, "quarter") + xmlNote("E", 4, 12, "quarter", "", kChord) + xmlNote("D", 4, 12, "quarter") +
          xmlNote("E", 4, 24, "half")},
         "|M4/4 T120 4[9,10] 4[8] 2[10] |"},
        {"dots", {xmlNote("C", 4, 18, "quarter", "<dot/>") + xmlNote("D", 4, 6, "eighth") + xmlNote("E", 4, 24, "half")},
         "|M4/4 T120 4.[9] 8[8] 2[10] |"},
        {"triplets 3:2",
         {xmlNote("C", 4, 4, "eighth", kTriplet) + xmlNote("D", 4, 4, "eighth", kTriplet) +
          xmlNote("E", 4, 4, "eighth", kTriplet) + xmlNote("F", 4, 12, "quarter") + xmlNote("C", 4, 24, "half")},
         "|M4/4 T120 8[9]F 8[8]Y 8[10]L 4[7] 2[9] |"},
        {"ties join notes and a bar line splits them again",
         {xmlNote("D", 4, 12, "quarter") + xmlNote("C", 4, 12, "quarter", kTieStart) +
              xmlNote("C", 4, 24, "half", kTieStop + kTieStart),
          xmlNote("C", 4, 12, "quarter", kTieStop) + xmlRest(36)},
         "|M4/4 T120 4[8] 2.[9]~ | 4[9] r2. |"},
        {"voice 1 only, after backup",
         {kWhole + "<backup><duration>48</duration></backup>" +
          "<note><pitch><step>E</step><octave>4</octave></pitch><duration>48</duration><voice>2</voice></note>"},
         "|M4/4 T120 1[9] |"},
        {"forward leaves a rest", {xmlNote("C", 4, 12, "quarter") + "<forward><duration>12</duration></forward>" +
                                   xmlNote("D", 4, 24, "half")},
         "|M4/4 T120 4[9] r4 2[8] |"},
        {"grace notes take no time",
         {xmlNote("D", 4, 0, "eighth", "", "<grace/>") + kWhole}, "|M4/4 T120 1[9] |"},
        {"sound tempo and a new time signature",
         {"<direction><sound tempo=\"90\"/></direction>" + kWhole,
          attributes("<time><beats>3</beats><beat-type>4</beat-type></time>") + xmlNote("D", 4, 36, "half", "<dot/>")},
         "|M4/4 T90 1[9] |M3/4 2.[8] |"},
        {"repeats: times counts every play",
         {barline("left", "<repeat direction=\"forward\"/>") + kWhole,
          kWholeD + barline("right", "<repeat direction=\"backward\" times=\"3\"/>")},
         "|M4/4 T120 OpenRepeat 1[9] | 1[8] | CloseRepeat x2"},
        {"a repeat played twice needs no count",
         {kWhole, kWholeD + barline("right", "<repeat direction=\"backward\"/>")},
         "|M4/4 T120 1[9] | 1[8] | CloseRepeat"},
        {"a section played once is no repeat",
         {kWhole + barline("right", "<repeat direction=\"backward\" times=\"1\"/>"), kWholeD},
         "|M4/4 T120 1[9] | 1[8] |"},
        {"first verse of the lyrics",
         {xmlNote("C", 4, 24, "half",
                  "<lyric number=\"1\"><syllabic>begin</syllabic><text>Hap</text></lyric>"
                  "<lyric number=\"2\"><text>Second</text></lyric>") +
          xmlNote("D", 4, 24, "half", "<lyric><syllabic>end</syllabic><text>py</text></lyric>")},
         "|M4/4 T120 2[9] 'Hap-' 2[8] 'py' |"},
        {"a pickup measure keeps its bar",
         {attributes("<divisions>12</divisions><time><beats>4</beats><beat-type>4</beat-type></time>") +
              xmlNote("C", 4, 12, "quarter"),
          kWholeD},
         "|M4/4 T120 4[9] | manual 1[8] |"},
    };
    expectMusic(rows);
}

TEST(MusicXmlImport, CreditsWithCharacterReferences)
{
    const std::string head = "<work><work-title>Caf&#xE9; &#x26; Bar&#x2014;&#169;</work-title></work>"
                             "<identification><creator type=\"lyricist\">Nobody</creator>"
                             "<creator type=\"composer\">Trad&#X2E;</creator><rights>Public domain</rights>"
                             "</identification>";
    const Imported imported = importText(xmlScore({kWhole}, head));
    ASSERT_TRUE(imported.ok);
    EXPECT_EQ(imported.config(MusicElement::Author, MusicAttr::Title), "Caf\xC3\xA9 & Bar\xE2\x80\x94\xC2\xA9");
    EXPECT_EQ(imported.config(MusicElement::Author, MusicAttr::Author), "Trad.");
    EXPECT_EQ(imported.config(MusicElement::Author, MusicAttr::CopyRight), "Public domain");
}

} // namespace

namespace {

std::vector<char> mxl(const std::vector<std::string>& names, const std::vector<std::string>& texts)
{
    ContainerRecipe recipe;
    recipe.members = texts;
    recipe.names = names;
    recipe.encrypt = false;
    recipe.ktMark = false;
    return makeContainer(recipe);
}

// A compressed file's score is the one its container names, else the first
// MusicXML file in it.
TEST(MusicXmlImport, CompressedScores)
{
    const std::string score = xmlScore({xmlNote("C", 4, 48, "whole")});
    const std::string other = xmlScore({xmlNote("D", 4, 48, "whole")});
    const std::string container = "<?xml version=\"1.0\"?><container><rootfiles>"
                                  "<rootfile full-path=\"music/song.musicxml\"/></rootfiles></container>";
    const struct {
        const char* rule;
        std::vector<std::string> names;
        std::vector<std::string> texts;
        const char* music;
    } rows[] = {
        {"named by the container", {"META-INF/container.xml", "other.xml", "music/song.musicxml"},
         {container, other, score}, "|M4/4 T120 1[9] |"},
        {"no container: the first score", {"readme.txt", "song.xml"}, {"hello", score}, "|M4/4 T120 1[9] |"},
    };
    for (const auto& row : rows) {
        const Imported imported = importBytes(mxl(row.names, row.texts));
        ASSERT_TRUE(imported.ok) << row.rule;
        EXPECT_EQ(imported.music(), row.music) << row.rule;
    }
    const Imported none = importBytes(mxl({"readme.txt"}, {"hello"}));
    EXPECT_EQ(none.messages, std::vector<std::string>{"Cannot import song: the compressed file holds no MusicXML score."});
}

// The bars an import writes are the ones the view's bar timing would make:
// timing them again changes nothing, whatever the rhythm.
TEST(MusicXmlImport, BarsNeedNoRetiming)
{
    const std::string triplet = "<time-modification><actual-notes>3</actual-notes><normal-notes>2</normal-notes>"
                                "</time-modification>";
    const std::string text = xmlScore({
        "<attributes><divisions>12</divisions><time><beats>3</beats><beat-type>4</beat-type></time></attributes>" +
            xmlNote("C", 4, 12, "quarter"),
        xmlNote("D", 4, 18, "quarter", "<dot/>") + xmlNote("E", 4, 6, "eighth") + xmlNote("F", 4, 4, "eighth", triplet) +
            xmlNote("G", 4, 4, "eighth", triplet) + xmlNote("A", 4, 4, "eighth", triplet),
        "<barline location=\"left\"><repeat direction=\"forward\"/></barline>" +
            xmlNote("C", 5, 36, "half", "<dot/><tie type=\"start\"/>"),
        xmlNote("C", 5, 12, "quarter", "<tie type=\"stop\"/>") + xmlRest(24) +
            "<barline location=\"right\"><repeat direction=\"backward\"/></barline>",
    });
    Imported imported = importText(text);
    ASSERT_TRUE(imported.ok);
    const std::string before = imported.music();
    ViewCursor cursor;
    CheckBarTiming(imported.tree->rootElement()->findChild(MusicElement::NoteList), nullptr, cursor);
    EXPECT_EQ(imported.music(), before);
}

} // namespace

namespace {

std::string direction(const std::string& types, const std::string& sound)
{
    return "<direction><direction-type>" + types + "</direction-type>" + sound + "</direction>";
}

// Notes where they are written: a chord note joins only a chord at its own
// onset, endings and jumps are written out in the order they are played,
// and a tempo change lands where it stands, also inside a held note.
TEST(MusicXmlImport, AsWritten)
{
    const char* q = "quarter";
    const std::string ending1 = barline("left", "<ending number=\"1\" type=\"start\"/>");
    const std::string ending1End =
        barline("right", "<ending number=\"1\" type=\"stop\"/><repeat direction=\"backward\"/>");
    const std::string ending2 = barline("left", "<ending number=\"2\" type=\"start\"/>");
    const std::string ending2End = barline("right", "<ending number=\"2\" type=\"discontinue\"/>");
    const XmlRow rows[] = {
        {"a tie's end first in a chord",
         {xmlNote("C", 4, 24, "half", kTieStart) + xmlNote("C", 4, 12, q, kTieStop) +
          xmlNote("E", 4, 12, q, "", kChord) + xmlNote("G", 4, 12, q, "", kChord) + xmlNote("D", 4, 12, q)},
         "|M4/4 T120 2[9] 4[10,11] 4[8] |"},
        {"a note with no tine first in a chord",
         {xmlNote("C", 4, 12, q) + "<note><pitch><step>C</step><alter>1</alter><octave>4</octave></pitch>"
                                   "<duration>12</duration><voice>1</voice></note>" +
          xmlNote("E", 4, 12, q, "", kChord) + xmlNote("D", 4, 24, "half")},
         "|M4/4 T120 4[9] 4[10] 2[8] |"},
        {"a D7 chord written from its F sharp",
         {xmlNote("F", 4, 12, q) + "<note><pitch><step>F</step><alter>1</alter><octave>4</octave></pitch>"
                                   "<duration>12</duration><voice>1</voice></note>" +
          xmlNote("A", 4, 12, q, "", kChord) + xmlNote("C", 5, 12, q, "", kChord) +
          xmlNote("D", 5, 12, q, "", kChord) + xmlNote("E", 4, 24, "half")},
         "|M4/4 T120 4[7] 4[5,6,13] 2[10] |"},
        {"endings written out, named where no lyric is",
         {kWhole, ending1 + kWholeD + ending1End,
          ending2 + xmlNote("E", 4, 48, "whole", "<lyric><text>la</text></lyric>") + ending2End},
         "|M4/4 T120 1[9] | 1[8] '1.' | 1[9] | 1[10] 'la' |"},
        {"D.S. al Coda",
         {kWhole, direction("<segno/>", "<sound segno=\"segno\"/>") + kWholeD,
          xmlNote("E", 4, 48, "whole") + direction("<words>To Coda</words>", "<sound tocoda=\"coda\"/>"),
          xmlNote("F", 4, 48, "whole") + direction("<words>D.S. al Coda</words>", "<sound dalsegno=\"segno\"/>"),
          direction("<coda/>", "<sound coda=\"coda\"/>") + xmlNote("G", 4, 48, "whole")},
         "|M4/4 T120 1[9] | 1[8] | 1[10] | 1[7] | 1[8] 'D.S.' | 1[10] | 1[11] 'Coda' |"},
        {"a transposing part as it sounds",
         {attributes("<divisions>12</divisions><transpose><diatonic>-1</diatonic><chromatic>-2</chromatic>"
                     "</transpose>") +
          xmlNote("D", 4, 48, "whole")},
         "|M4/4 T120 1[9] |"},
        {"a tempo change inside a held note splits it",
         {xmlNote("C", 4, 24, "half") + "<backup><duration>12</duration></backup>" +
              direction("<words>rit.</words>", "<sound tempo=\"60\"/>") + "<forward><duration>12</duration></forward>" +
              xmlNote("D", 4, 24, "half")},
         "|M4/4 T120 4[9]~ 4[9] T60 2[8] |"},
        {"and inside a rest", {xmlRest(36) + "<backup><duration>12</duration></backup>" +
                                   direction("", "<sound tempo=\"90\"/>") +
                                   "<forward><duration>12</duration></forward>" + xmlNote("C", 4, 12, q)},
         "|M4/4 T120 r2 r4 T90 4[9] |"},
    };
    expectMusic(rows);
}

// A part after the first keeps its own time signature: its empty measure
// lasts three quarters.
TEST(MusicXmlImport, LaterPartsKeepTheirTime)
{
    const std::string threeFour =
        "<attributes><divisions>12</divisions><time><beats>3</beats><beat-type>4</beat-type></time></attributes>";
    std::string text = xmlScore({threeFour + xmlNote("C", 4, 36, "half", "<dot/>"), xmlNote("D", 4, 36, "half", "<dot/>")});
    const std::string second = "<part id=\"P2\"><measure number=\"1\">" + threeFour + "</measure><measure number=\"2\">" +
                               xmlNote("E", 4, 36, "half", "<dot/>") + "</measure></part>";
    text.insert(text.find("</score-partwise>"), second);
    ImportChoice secondPart;
    secondPart.voice = 1;
    const Imported imported = importText(text, secondPart);
    ASSERT_TRUE(imported.ok);
    EXPECT_EQ(imported.music(), "|M3/4 T120 r2. | 2.[10] |");
}

} // namespace
