// Opening MIDI and MusicXML files in the program: the title, the status bar,
// the recent files, the import dialog and the remembered tines and rhythm.
#include "app_fixture.h"
#include "midi_bytes.h"

#include "app/import_dialog.h"
#include "app/music_importer.h"
#include "doc/music_vocabulary.h"

#include <QComboBox>
#include <QFileInfo>
#include <QMouseEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>

namespace {

class ImportOpenTest : public AppTest {
protected:
    ImportOpenTest()
    {
        app.StartUp({});
        app.importer().setChooser([this](const QString&, const ImportedPiece& piece,
                                         const std::vector<TineChoice>& tines, int& voice, int& tineChoice,
                                         ImportRhythm&) {
            offered.push_back({int(piece.voices.size()), voice, tines.size(), tineChoice});
            voice = answerVoice < 0 ? voice : answerVoice;
            tineChoice = answerTines < 0 ? tineChoice : answerTines;
            return answer;
        });
    }

    QString writeBytes(const QString& name, const std::vector<char>& bytes)
    {
        const QString path = dir.path() + "/" + name;
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes.data(), qint64(bytes.size()));
        return path;
    }

    // Moves the mouse onto the middle of widget, as the window system tells it.
    void moveMouseTo(QWidget* widget)
    {
        const QPoint at = widget->mapTo(frame(), widget->rect().center());
        QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(frame()->mapToGlobal(at)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(frame()->windowHandle(), &move);
    }

    // What the dialog was shown with: voices, the preselected one, tine choices, the preselected one.
    struct Offer {
        int voices;
        int voice;
        size_t tineChoices;
        int tineChoice;
    };
    std::vector<Offer> offered;
    bool answer = true;
    int answerVoice = -1;
    int answerTines = -1;
};

const std::vector<char> kTune = midiFile(1, 480, {{textEvent(0, 0x03, "Little Tune")},
                                                  noteEvents({{62, 0, 480}, {64, 480, 480}, {66, 960, 960}})});

TEST_F(ImportOpenTest, OneTrackOpensAtOnceWithItsTitleAndStatus)
{
    const QString path = writeBytes("tune.mid", kTune);
    CZolvaDoc* doc = app.OpenDocumentFile(path);
    ASSERT_TRUE(doc);
    EXPECT_TRUE(offered.empty());
    EXPECT_TRUE(doc->isImported());
    EXPECT_FALSE(doc->isModified());
    EXPECT_EQ(doc->title(), "tune.mid (imported)");
    EXPECT_EQ(frame()->statusBar()->currentMessage().toStdString(), "Imported 3 notes from track 2 \u00B7 transposed -2");
    EXPECT_STREQ(doc->authorElement()->getAttribute(MusicAttr::Title), "Little Tune");
    EXPECT_EQ(frame()->recentFiles().files().first(), QDir::toNativeSeparators(path));
    EXPECT_EQ(get("ImportTines"), "");
    // Open again: the window comes forward, nothing is imported anew.
    EXPECT_EQ(app.OpenDocumentFile(path), doc);
}

TEST_F(ImportOpenTest, SeveralTracksAskWithTheMelodyPreselected)
{
    const std::vector<char> two = midiFile(1, 480, {noteEvents({{36, 0, 1920}, {43, 1920, 1920}}, 0),
                                                    noteEvents({{72, 0, 960}, {74, 960, 960}}, 1)});
    const QString path = writeBytes("two.mid", two);
    answer = false;
    EXPECT_FALSE(app.OpenDocumentFile(path));
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0].voices, 2);
    EXPECT_EQ(offered[0].voice, 1);
    EXPECT_TRUE(sink.messages.empty()) << "cancelling is no failure to report";
    EXPECT_TRUE(frame()->recentFiles().files().isEmpty());

    answer = true;
    answerVoice = 0;
    CZolvaDoc* doc = app.OpenDocumentFile(path);
    ASSERT_TRUE(doc);
    // Once in the recent files, a cancelled dialog leaves it there.
    frame()->commandAction(57602)->trigger(); // File > Close
    answer = false;
    EXPECT_FALSE(app.OpenDocumentFile(path));
    EXPECT_EQ(frame()->recentFiles().files().value(0), QDir::toNativeSeparators(path));
    answer = true;
    ASSERT_TRUE((doc = app.OpenDocumentFile(path)));
    // No shift brings the bass onto the tines: each note moves by octaves.
    EXPECT_EQ(frame()->statusBar()->currentMessage().toStdString(),
              "Imported 2 notes from track 1 \u00B7 2 notes moved by octaves");
}

TEST_F(ImportOpenTest, TinesOfAnOpenDocumentAreOfferedAndRemembered)
{
    const std::string fiveTines = "60,62,64,67,69";
    const QString other = dir.path() + "/five.zvm";
    {
        QFile file(other);
        file.open(QIODevice::WriteOnly);
        file.write(QByteArray("<Zolva Version=\"1.0.14\"><Config><Tines Number=\"5\" NoteValues=\"") +
                   fiveTines.c_str() + "\" Shade=\"00000\"/><Notes Tails=\"Modern\"/></Config><Notes/></Zolva>");
    }
    ASSERT_TRUE(app.OpenDocumentFile(other));
    answerTines = 1;
    CZolvaDoc* doc = app.OpenDocumentFile(writeBytes("tune.mid", kTune));
    ASSERT_TRUE(doc);
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0].tineChoices, 2u);
    EXPECT_EQ(offered[0].tineChoice, 0);
    EXPECT_EQ(get("ImportTines"), QString::fromStdString(fiveTines));
    EXPECT_STREQ(doc->tineSettings()->getAttribute(MusicAttr::NoteValues), fiveTines.c_str());

    // Those tines are remembered now: the same documents ask no more.
    offered.clear();
    ASSERT_TRUE(app.OpenDocumentFile(writeBytes("again.mid", kTune)));
    EXPECT_TRUE(offered.empty());
    EXPECT_STREQ(app.mainFrame()->documents().documents().back()->tineSettings()->getAttribute(MusicAttr::NoteValues),
                 fiveTines.c_str());
}

// The Open button is still under the mouse when the import reports; the
// mouse leaving it, or passing over another command, must not wipe the
// report out before its ten seconds.
TEST_F(ImportOpenTest, TheStatusOfAnImportOutlastsThePromptsOfCommands)
{
    const QString path = writeBytes("tune.mid", kTune);
    app.setFileChooser([path](QWidget*, const QString&) { return QStringList{path}; });
    QToolBar* bar = frame()->mainToolBar();
    QWidget* open = bar->widgetForAction(command(57601));
    ASSERT_TRUE(open);
    moveMouseTo(open);
    QTest::mouseClick(open, Qt::LeftButton);
    const QString status = "Imported 3 notes from track 2 \u00B7 transposed -2";
    ASSERT_EQ(frame()->statusBar()->currentMessage(), status);
    moveMouseTo(frame()->activeChild());
    EXPECT_EQ(frame()->statusBar()->currentMessage(), status);
    moveMouseTo(bar->widgetForAction(command(57600)));
    EXPECT_EQ(frame()->statusBar()->currentMessage(), "Create a new document") << "the prompt shows over it";
    moveMouseTo(frame()->activeChild());
    EXPECT_EQ(frame()->statusBar()->currentMessage(), status);
}

// A file given on the command line reports before the window first shows;
// showing it must not bring "Ready" back over the report.
TEST_F(ImportOpenTest, TheStatusOfAnImportAtStartHidesReady)
{
    ASSERT_TRUE(app.StartUp({writeBytes("tune.mid", kTune)}));
    ASSERT_TRUE(frame()->isVisible());
    QLabel* ready = nullptr;
    for (QLabel* label : frame()->statusBar()->findChildren<QLabel*>())
        if (label->text() == "Ready")
            ready = label;
    ASSERT_TRUE(ready);
    EXPECT_EQ(frame()->statusBar()->currentMessage(), "Imported 3 notes from track 2 \u00B7 transposed -2");
    EXPECT_FALSE(ready->isVisible());
}

// The dialog offers the rhythm: a MIDI file, played, simplified until the
// player chooses otherwise for one; a MusicXML score as written, whatever
// was chosen for it before. Only the choice for a MIDI file is remembered.
TEST_F(ImportOpenTest, RhythmIsOfferedByKindAndRememberedForMidi)
{
    // A spread chord in the melody: one chord simplified, two as played.
    const QString midi = writeBytes("two.mid", midiFile(1, 480, {noteEvents({{36, 0, 1920}}, 0),
                                                                 noteEvents({{60, 0, 900}, {64, 13, 900},
                                                                             {67, 26, 900}, {62, 960, 900}},
                                                                            1)}));
    const std::string part = "<measure number=\"1\"><attributes><divisions>1</divisions></attributes><note><pitch>"
                             "<step>C</step><octave>5</octave></pitch><duration>4</duration></note></measure></part>";
    const std::string parts = "<score-partwise><part-list><score-part id=\"P1\"/><score-part id=\"P2\"/>"
                              "</part-list><part id=\"P1\">" + part + "<part id=\"P2\">" + part + "</score-partwise>";
    const QString score = writeBytes("two.musicxml", {parts.begin(), parts.end()});
    QString shown, answer;
    app.importer().setChooser([&](const QString& path, const ImportedPiece& piece, const std::vector<TineChoice>& tines,
                                  int&, int& tineChoice, ImportRhythm& rhythm) {
        ImportDialog dialog(QFileInfo(path).fileName(), piece, tines, tineChoice, rhythm);
        shown = dialog.rhythmBox()->currentText();
        dialog.rhythmBox()->setCurrentText(answer);
        rhythm = dialog.rhythm();
        return true;
    });
    const struct {
        const char* rule;
        QString path;
        const char* shown;
        const char* answer;
        const char* remembered;
        const char* firstTines; // of the document, for the MIDI file
    } rows[] = {
        {"MIDI at first", midi, "Simplified", "As played", "0", "9,10"},
        {"MIDI as chosen last", midi, "As played", "As played", "0", "9,10"},
        {"MusicXML, chosen simplified", score, "As played", "Simplified", "0", nullptr},
        {"MusicXML again", score, "As played", "As played", "0", nullptr},
        {"MIDI chosen simplified", midi, "As played", "Simplified", "1", "9,10,11"},
        {"MIDI simplified as chosen last", midi, "Simplified", "Simplified", "1", "9,10,11"},
    };
    for (const auto& row : rows) {
        answer = row.answer;
        shown.clear();
        CZolvaDoc* doc = app.OpenDocumentFile(row.path);
        ASSERT_TRUE(doc) << row.rule;
        EXPECT_EQ(shown, row.shown) << row.rule;
        EXPECT_EQ(get("ImportRhythm"), row.remembered) << row.rule;
        if (row.firstTines) {
            EXPECT_STREQ(doc->firstEvent()->nextElementSibling()->getAttribute(MusicAttr::Tines), row.firstTines)
                << row.rule;
        }
        command(57602)->trigger(); // File > Close, so that the file imports anew
    }
}

TEST_F(ImportOpenTest, BadFilesSayWhatIsWrongAndLeaveTheRecentList)
{
    const QString path = writeBytes("broken.mid", {'n', 'o', 'p', 'e'});
    EXPECT_FALSE(app.OpenDocumentFile(path));
    EXPECT_EQ(sink.messages,
              std::vector<std::string>{"Cannot import " + QFile::encodeName(path).toStdString() + ": not a MIDI file."});
    EXPECT_TRUE(frame()->recentFiles().files().isEmpty());
}

// Cancelled while being read, a music file or an import opens nothing,
// says nothing and keeps its place in the recent files.
TEST_F(ImportOpenTest, ACancelledReadingKeepsTheRecentFile)
{
    const BackgroundLoad cancelled = [](const QString&, const std::function<void(WorkProgress&)>&) { return false; };
    const struct {
        QString path;
        bool imported;
    } rows[] = {{write("piece.zvm", ""), false}, {writeBytes("tune.mid", kTune), true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path.toStdString());
        ASSERT_TRUE(app.OpenDocumentFile(row.path));
        command(57602)->trigger(); // File > Close
        if (row.imported)
            app.importer().setBackgroundLoad(cancelled);
        else
            frame()->documents().setBackgroundLoad(cancelled);
        EXPECT_FALSE(app.OpenDocumentFile(row.path));
        EXPECT_EQ(frame()->recentFiles().files().value(0), QDir::toNativeSeparators(row.path));
        EXPECT_TRUE(sink.messages.empty());
        EXPECT_EQ(frame()->documents().documentCount(), 0);
    }
}

TEST_F(ImportOpenTest, DialogListsThePartsAndEnterOpensThePreselection)
{
    ImportedPiece piece;
    piece.voices = {{"track 1", "Bass", "", 32, {{0, 480, 40}, {480, 480, 47}}},
                    {"track 2", "Tune", "Flute", -1, {{0, 480, 72}, {480, 480, 79}, {960, 480, 74}}}};
    const std::vector<TineChoice> tines = {{"17-tine kalimba in C", defaultKalimba()}};
    ImportDialog dialog("two.mid", piece, tines, 0, ImportRhythm::Simplified);
    const QTreeWidgetItem* bass = dialog.voiceList()->topLevelItem(0);
    EXPECT_EQ(bass->text(0), "Track 1");
    EXPECT_EQ(bass->text(2), "Acoustic Bass"); // the file's program, as MIDI Setup names it
    EXPECT_EQ(bass->text(3), "2");
    EXPECT_EQ(bass->text(4), QString::fromUtf8("E2\u2013B2"));
    EXPECT_EQ(dialog.voiceList()->topLevelItem(1)->text(2), "Flute");
    EXPECT_EQ(dialog.voice(), 1);
    dialog.show();
    QTest::keyClick(dialog.voiceList(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

} // namespace
