// CZolvaDoc: opening, completing a loaded tree, the version check, the note
// list's events and the modified state.
#include "doc/zolva_doc.h"

#include "failing_allocations.h"
#include "recording_sink.h"
#include "test_files.h"
#include "tree_description.h"
#include "xml/xpxml.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

const char kNewerMessage[] = "This file was created with a newer version of the Zolva program.";
const char kUpgradeQuestion[] =
    "This file was created with an older version of the Zolva program.\nWould you like to upgrade the file?";

const std::string kConfig = R"(<Config><Tines Number="17" Shade="10010010100100100"/><Notes Tails="Modern" TineWidth="22"/></Config>)";

std::string musicFile(const std::string& version, const std::string& notes = "<Note Value=\"4\" Tines=\"9\"/>",
                      const std::string& config = kConfig)
{
    const std::string versionAttribute = version == "none" ? "" : " Version=\"" + version + "\"";
    return "<Zolva" + versionAttribute + ">" + config + "<Notes>" + notes + "</Notes></Zolva>";
}

// A document whose tree holds text, completed as after a load.
struct Completed {
    explicit Completed(const std::string& text, bool answerYes = true) : sink(answerYes), doc(sink)
    {
        EXPECT_EQ(doc.tree().loadText(text.c_str()), 0) << text;
        accepted = doc.completeDocument();
    }
    RecordingSink sink;
    CZolvaDoc doc;
    bool accepted = false;
};

TEST(CompleteDocument, EmptyNoteListGetsTheDefaultMusic)
{
    Completed c(musicFile("1.0.14", ""));
    ASSERT_TRUE(c.accepted);
    std::string expected;
    for (int i = 0; i < 16; ++i) {
        if (i % 4 == 0)
            expected += "Bar(Type=Auto Timing=A4/4)\n";
        expected += "Note(Value=4 Tines=)\n";
    }
    expected += "Bar(Type=Auto Timing=A4/4)\n";
    EXPECT_EQ(describeChildren(c.doc.noteList()), expected);
}

TEST(CompleteDocument, MissingPartsAreMade)
{
    Completed c(R"(<ZolvaTemplate Version="1.0.14"><Config><Notes Tails="Old" Scale="1.5"/></Config></ZolvaTemplate>)");
    ASSERT_TRUE(c.accepted);
    XPxmlNode* root = c.doc.tree().rootElement();
    EXPECT_STREQ(root->name(), "Zolva");
    EXPECT_EQ(describeChildren(root), "Config()\nNotes()\nTines()\n");
    EXPECT_EQ(describeChildren(c.doc.configElement()),
              "Notes(Tails=Minimal Scale=1.5)\n"
              "PrintNotes(Tails=Minimal Scale=1.5)\n" // a clone of the screen options
              "Options()\n"
              "Author(Author= Title= Arranger= CopyRight= ReadOnly=)\n");
    EXPECT_EQ(c.doc.printOptions(), c.doc.configElement()->findChild("PrintNotes"));
    EXPECT_EQ(c.doc.tineList(), root->findChild("Tines"));
    EXPECT_EQ(c.doc.midiElement(), nullptr);
    EXPECT_EQ(c.doc.tineSettings(), nullptr);
}

TEST(CompleteDocument, KeepsWhatIsThere)
{
    Completed c(R"(<Zolva Version="1.0.14" Extra="kept"><Config><MIDI Port="2"/><Notes Tails="Modern"/><PrintNotes Tails="Minimal"/><Options Lyrics="0"/><Author Title="Song"/></Config><Notes><Rest Value="2"/></Notes><Tines><Tine/></Tines></Zolva>)");
    ASSERT_TRUE(c.accepted);
    EXPECT_EQ(describeElement(c.doc.tree().rootElement()), "Zolva(Version=1.0.14 Extra=kept)");
    EXPECT_EQ(describeChildren(c.doc.configElement()),
              "MIDI(Port=2)\nNotes(Tails=Modern)\nPrintNotes(Tails=Minimal)\nOptions(Lyrics=0)\nAuthor(Title=Song)\n");
    EXPECT_EQ(describeChildren(c.doc.noteList()), "Rest(Value=2)\n");
    EXPECT_EQ(describeChildren(c.doc.tineList()), "Tine()\n");
    EXPECT_EQ(c.doc.tailsStyle(), 1);
}

// Files without settings still open (a decision of ours: nothing to index).
TEST(CompleteDocument, FileWithoutConfigOpens)
{
    Completed c("<Zolva Version=\"1.0.14\"><Notes><Note Value=\"4\"/></Notes></Zolva>");
    ASSERT_TRUE(c.accepted);
    EXPECT_EQ(describeChildren(c.doc.tree().rootElement()), "Config()\nNotes()\nTines()\n");
    EXPECT_EQ(describeChildren(c.doc.configElement()),
              "Notes()\nPrintNotes()\nOptions()\nAuthor(Author= Title= Arranger= CopyRight= ReadOnly=)\n");
    EXPECT_EQ(c.doc.tailsStyle(), 3);
    EXPECT_EQ(c.doc.tineCount(), 0);
}

TEST(CompleteDocument, TailsStyleAndOldNames)
{
    const struct {
        const char* tails;
        const char* stored;
        int style;
    } cases[] = {{"Modern", "Modern", 1}, {"New", "Modern", 1},  {"Minimal", "Minimal", 2},
                 {"Old", "Minimal", 2},   {"Tailed", "Tailed", 3}, {"", "", 3}};
    for (const auto& tc : cases) {
        Completed c(musicFile("1.0.14", "", std::string("<Config><Notes Tails=\"") + tc.tails + "\"/></Config>"));
        EXPECT_EQ(c.doc.tailsStyle(), tc.style) << tc.tails;
        EXPECT_STREQ(c.doc.screenOptions()->getAttribute("Tails"), tc.stored) << tc.tails;
        EXPECT_STREQ(c.doc.printOptions()->getAttribute("Tails"), tc.stored) << tc.tails;
    }
    // Print options of their own are renamed too.
    Completed c(musicFile("1.0.14", "", R"(<Config><Notes Tails="Old"/><PrintNotes Tails="New"/></Config>)"));
    EXPECT_STREQ(c.doc.printOptions()->getAttribute("Tails"), "Modern");
    EXPECT_EQ(c.doc.tailsStyle(), 2);
}

TEST(CompleteDocument, TineCountAndShadeText)
{
    const std::string zeros(200, '0');
    const struct {
        const char* tines; // the tine settings element, or "" for none
        int count;
        std::string shade;
    } cases[] = {
        {"", 0, zeros},
        {R"(<Tines Number="17" Shade="10010010100100100"/>)", 17, "10010010100100100"},
        {R"(<Tines Number="17"/>)", 17, ""},
        {R"(<Tines Shade="1"/>)", 0, "1"},
        {R"(<Tines Number="500"/>)", 100, ""},
        {R"(<Tines Number="-3"/>)", 0, ""},
        {R"(<Tines Number=" 12 tines"/>)", 12, ""},
        {R"(<Tines Number="abc"/>)", 0, ""},
    };
    for (const auto& tc : cases) {
        Completed c(musicFile("1.0.14", "", std::string("<Config>") + tc.tines + "</Config>"));
        EXPECT_EQ(c.doc.tineCount(), tc.count) << tc.tines;
        EXPECT_EQ(c.doc.shadeText(), tc.shade) << tc.tines;
    }
    // A shade text longer than the table is cut, never copied past it.
    Completed c(musicFile("1.0.14", "", "<Config><Tines Shade=\"" + std::string(300, '1') + "\"/></Config>"));
    EXPECT_EQ(c.doc.shadeText(), std::string(200, '1'));
}

struct VersionCase {
    const char* version; // "none": no attribute
    bool accepted;
    bool asked;
    bool refusedAsNewer;
    bool answerYes = true;
    bool upgraded = false;
};

class CheckVersion : public testing::TestWithParam<VersionCase> {};

TEST_P(CheckVersion, AcceptsRefusesOrAsks)
{
    const VersionCase& vc = GetParam();
    Completed c(musicFile(vc.version, R"(<Note Value="4" Timing="3/4"/><Note Value="4"/>)"), vc.answerYes);
    EXPECT_EQ(c.accepted, vc.accepted);
    EXPECT_EQ(c.sink.questions, vc.asked ? std::vector<std::string>{kUpgradeQuestion} : std::vector<std::string>{});
    EXPECT_EQ(c.sink.messages, vc.refusedAsNewer ? std::vector<std::string>{kNewerMessage} : std::vector<std::string>{});
    const std::string upgradedList =
        "Bar(Type=Auto Timing=M3/4)\nNote(Value=4)\nBar(Type=Auto Timing=A3/4)\nNote(Value=4)\n";
    const std::string untouchedList = "Note(Value=4 Timing=3/4)\nNote(Value=4)\n";
    EXPECT_EQ(describeChildren(c.doc.noteList()), vc.upgraded ? upgradedList : untouchedList);
    if (vc.upgraded) {
        EXPECT_STREQ(c.doc.screenOptions()->getAttribute("MeasureSpacingSize"), "300");
    }
    // Whatever the answer, the tree now carries the program's version.
    EXPECT_STREQ(c.doc.tree().rootElement()->getAttribute("Version"), "1.0.14");
}

INSTANTIATE_TEST_SUITE_P(
    Versions, CheckVersion,
    testing::Values(VersionCase{"1.0.14", true, false, false},
                    VersionCase{"1.0.13", true, false, false},
                    VersionCase{"0.9.9", true, false, false},
                    VersionCase{"none", true, false, false},
                    VersionCase{"x.x.x", true, false, false},
                    VersionCase{"1.0.15", false, false, true},
                    VersionCase{"2", false, false, true},
                    // One dot marks a file from before bar elements.
                    VersionCase{"1.5", true, true, false, true, true},
                    VersionCase{"1.0", true, true, false, true, true},
                    VersionCase{"0.0.0", true, true, false, true, true},
                    VersionCase{"1.5", false, true, false, false, false},
                    VersionCase{"0.0.0", false, true, false, false, false}),
    [](const testing::TestParamInfo<VersionCase>& info) {
        std::string name = std::string("V") + info.param.version + (info.param.answerYes ? "" : "_No");
        for (char& c : name)
            if (c == '.')
                c = '_';
        return name;
    });

class OpenDocument : public testing::Test {
protected:
    RecordingSink sink;
    CZolvaDoc doc{sink};

    bool open(const std::string& name, const std::string& text)
    {
        path = writeTempFile(name, text);
        return doc.openDocument(QString::fromStdString(path)) == OpenOutcome::Opened;
    }
    std::string path;
};

TEST_F(OpenDocument, UpgradedFileOpensUnmodifiedAndStaysUntouchedOnDisk)
{
    const std::string text = musicFile("1.5", R"(<Note Value="4" Timing="3/4" Tempo="90"/><Note Value="4"/>)");
    ASSERT_TRUE(open("upgrade.zvm", text));
    EXPECT_EQ(sink.questions.size(), 1u);
    EXPECT_EQ(sink.questionFiles, std::vector<std::string>{"upgrade.zvm"}) << "the box names the file";
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.pathName().toStdString(), path);
    EXPECT_FALSE(CZolvaDoc::canSave());
    const std::vector<char> onDisk = readFileBytes(path);
    EXPECT_EQ(std::string(onDisk.begin(), onDisk.end()), text);
}

TEST_F(OpenDocument, TemplateRootOpensAsMusic)
{
    ASSERT_TRUE(open("template.zvm", R"(<ZolvaTemplate Version="1.0.14"><Config><Notes Tails="Modern"/></Config></ZolvaTemplate>)"));
    EXPECT_STREQ(doc.tree().rootElement()->name(), "Zolva");
    EXPECT_FALSE(doc.isModified());
}

TEST_F(OpenDocument, TextWithoutRootIsNoMusicFile)
{
    EXPECT_FALSE(open("blank.zvm", "  \n <!-- nothing --> \n"));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0], path + " is not a Zolva music file.");
}

TEST_F(OpenDocument, FailuresOfLoadAndVersionCheckFailTheOpen)
{
    EXPECT_FALSE(open("broken.zvm", "<Zolva><Notes></Zolva>"));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].rfind("Error loading " + path + "\n", 0), 0u);

    RecordingSink sink2;
    CZolvaDoc newer(sink2);
    const std::string newerPath = writeTempFile("newer.zvm", musicFile("1.1.0"));
    EXPECT_EQ(newer.openDocument(QString::fromStdString(newerPath)), OpenOutcome::Failed);
    EXPECT_EQ(sink2.messages, std::vector<std::string>{kNewerMessage});
}

// Read on a thread of its own, as the program does: the messages come after
// the reading, on the opening thread; cancelled, the open ends silently and
// empty.
TEST_F(OpenDocument, ReadingElsewhereHoldsItsMessagesAndCanBeCancelled)
{
    for (const bool cancel : {false, true}) {
        RecordingSink sink2;
        CZolvaDoc other(sink2);
        const std::thread::id opener = std::this_thread::get_id();
        bool readElsewhere = false;
        other.setBackgroundLoad([&](const QString& what, const std::function<void(WorkProgress&)>& work) {
            EXPECT_EQ(what, "broken.zvm");
            WorkProgress progress;
            progress.cancelled = cancel;
            std::thread([&] {
                readElsewhere = std::this_thread::get_id() != opener;
                work(progress);
            }).join();
            return !cancel;
        });
        // Broken unless cancelled: a sound file would open.
        const std::string text = cancel ? musicFile("1.0.14") : "<Zolva><Notes></Zolva>";
        EXPECT_EQ(other.openDocument(QString::fromStdString(writeTempFile("broken.zvm", text))),
                  cancel ? OpenOutcome::Cancelled : OpenOutcome::Failed);
        EXPECT_TRUE(readElsewhere);
        EXPECT_EQ(sink2.messages.size(), cancel ? 0u : 1u);
        EXPECT_TRUE(!cancel || !other.tree().rootElement());
    }
}

// Memory running out at each allocation of an open in turn, the read, parse,
// completion and upgrade alike: the open fails with the loader's message and
// leaves an empty document.
TEST(OpenDocumentOutOfMemory, EveryAllocationEndsTheOpenCleanly)
{
    const std::string text = musicFile("1.5", R"(<Note Value="4" Timing="3/4" Tempo="90" Text="a lyric line"/>)"
                                              R"(<Note Value="4" Measure="Y"/><Note Value="8" Tines="2"/>)");
    const std::string path = writeTempFile("old_song.zvm", text);
    const QString file = QString::fromStdString(path);
    size_t beforeQuestion = 0;
    size_t afterQuestion = 0;
    for (size_t before = 0;; ++before) {
        RecordingSink sink;
        CZolvaDoc doc(sink);
        failingAllocations::failAfter(before);
        const bool opened = doc.openDocument(file) == OpenOutcome::Opened;
        if (!failingAllocations::disarm()) {
            EXPECT_TRUE(opened) << "every allocation of the open has failed once";
            break;
        }
        ++(sink.questions.empty() ? beforeQuestion : afterQuestion);
        EXPECT_FALSE(opened) << before;
        EXPECT_EQ(sink.messages, std::vector<std::string>{"Out of memory loading " + path}) << before;
        EXPECT_EQ(doc.tree().rootElement(), nullptr) << before;
        EXPECT_EQ(doc.configElement(), nullptr) << before;
    }
    EXPECT_GT(beforeQuestion, 10u);
    EXPECT_GT(afterQuestion, 10u) << "the upgrade";
}

TEST_F(OpenDocument, WorkingAttributesNeverCountAsChanges)
{
    ASSERT_TRUE(open("modified.zvm", musicFile("1.0.14", R"(<Bar Type="Auto" Timing="M4/4"/><Note Value="4"/>)")));
    XPxmlNode* bar = doc.firstEvent();
    XPxmlNode* note = doc.lastEvent();
    note->setAttribute("~Pos", "10,20");
    bar->setAttribute("~Error", "Y");
    EXPECT_FALSE(doc.isModified());
    doc.setModifiedFlag(true);
    EXPECT_FALSE(doc.isModified()) << "the shell's flag is kept apart";
    bar->setAttribute("Tempo", "100");
    EXPECT_TRUE(doc.isModified());
}

TEST(Events, FirstLastAndInsertion)
{
    Completed c(musicFile("1.0.14", R"(<!-- start --><Note Value="1"/>text<Rest Value="2"/><!-- end -->)"));
    CZolvaDoc& doc = c.doc;
    XPxmlNode* first = doc.firstEvent();
    XPxmlNode* last = doc.lastEvent();
    ASSERT_TRUE(first && last);
    EXPECT_STREQ(first->name(), "Note");
    EXPECT_STREQ(last->name(), "Rest");

    const auto event = [](const char* value) {
        XPxmlNode* note = XPxmlNode::create("Note");
        note->setAttribute("Value", value);
        return note;
    };
    EXPECT_TRUE(doc.insertEvent(first, false, event("a")));  // before the first
    EXPECT_TRUE(doc.insertEvent(first, true, event("b")));   // behind it, before the text
    XPxmlNode* behindComment = event("c");
    EXPECT_TRUE(doc.insertEvent(doc.noteList()->lastChild(), true, behindComment)); // appended
    EXPECT_EQ(describeChildren(doc.noteList()),
              "Note(Value=a)\nNote(Value=1)\nNote(Value=b)\nRest(Value=2)\nNote(Value=c)\n");
    EXPECT_EQ(doc.lastEvent(), behindComment);

    XPxmlNode* stray = event("d");
    EXPECT_FALSE(doc.insertEvent(nullptr, false, stray));
    EXPECT_FALSE(doc.insertEvent(doc.configElement(), false, stray)) << "not in the note list";
    EXPECT_EQ(stray->parent(), nullptr);
    delete stray;
}

} // namespace
