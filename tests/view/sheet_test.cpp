#include "music_fixture.h"

#include "doc/music_vocabulary.h"
#include "view/sheet_layout.h"
#include "view/sheet_writer.h"
#include "view/visible_range.h"
#include "xml/xpxml_node.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// measures bars of four quarter notes, the closing bar included.
std::string measures(int count)
{
    return repeat(bar() + repeat(note("4"), 4), count) + bar();
}

SheetPageSetup pageOf(double heightMm, int columns)
{
    SheetPageSetup setup;
    setup.paper = QPageSize(QSizeF(210, heightMm), QPageSize::Millimeter);
    setup.columns = columns;
    setup.dpi = 96;
    return setup;
}

int elementIndex(const Music& music, const XPxmlNode* element)
{
    int i = 0;
    for (XPxmlNode* e = music.doc.firstEvent(); e && e != element; e = e->nextElementSibling())
        ++i;
    return i;
}

TEST(SheetLayoutTest, StripsBreakAtBarLinesAndFillPages)
{
    struct Row {
        const char* name;
        int measures;
        int notesInOne; // one measure of this many notes, after the others
        double heightMm;
        int columns;
        int strips; // 0: more than one, not counted
    };
    const Row rows[] = {
        {"tall paper: one strip", 8, 0, 3000, 3, 1},
        {"short paper: many strips, many pages", 24, 0, 250, 2, 0},
        {"a measure taller than the page is cut inside", 2, 200, 120, 3, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::string notes = measures(row.measures);
        if (row.notesInOne) {
            notes = repeat(bar() + repeat(note("4"), 4), row.measures) + bar("M" + std::to_string(row.notesInOne) + "/4") +
                    repeat(note("4"), row.notesInOne) + bar();
        }
        Music music(notes);
        SheetLayout sheet(music.doc, pageOf(row.heightMm, row.columns));
        std::vector<SheetStrip> strips;
        for (const SheetPage& page : sheet.pages()) {
            EXPECT_LE(page.strips.size(), size_t(row.columns));
            strips.insert(strips.end(), page.strips.begin(), page.strips.end());
        }
        if (row.strips)
            EXPECT_EQ(strips.size(), size_t(row.strips));
        else
            EXPECT_GT(strips.size(), 1u);
        EXPECT_EQ(sheet.pages().size(), (strips.size() + size_t(row.columns) - 1) / size_t(row.columns));

        bool cutInside = false;
        long bars = 0;
        XPxmlNode* expectedFirst = music.doc.firstEvent();
        for (size_t i = 0; i < strips.size(); ++i) {
            const SheetStrip& s = strips[i];
            SCOPED_TRACE(i);
            EXPECT_EQ(s.first, expectedFirst);
            EXPECT_EQ(s.firstBar, bars + 1);
            const QRect column = sheet.stripRect(int(i) / row.columns, int(i) % row.columns);
            EXPECT_LE((s.bottom - s.top) * sheet.ratio(), column.height() + 1);
            const bool tall = row.notesInOne && elementIndex(music, s.first) >= row.measures * 5;
            if (i + 1 < strips.size() && !tall) {
                EXPECT_TRUE(isBar(s.last)) << "strip ends inside a measure";
            }
            cutInside = cutInside || !isBar(s.first);
            for (XPxmlNode* e = s.first; e != s.last; e = e->nextElementSibling())
                bars += isBar(e);
            expectedFirst = isBar(s.last) ? s.last : s.last->nextElementSibling();
        }
        EXPECT_EQ(strips.back().last, music.doc.lastEvent());
        EXPECT_EQ(cutInside, row.notesInOne > 0);
    }
}

TEST(SheetLayoutTest, HeaderAndFooterTexts)
{
    Music music(measures(40), {.tines = "Number=\"3\" NoteValues=\"64,60,67\"", .screen = "", .options = ""});
    music.doc.authorElement()->setAttribute(MusicAttr::Title, "Morning Song");
    music.doc.authorElement()->setAttribute(MusicAttr::Author, "A. Writer");
    music.doc.firstEvent()->setAttribute(MusicAttr::Tempo, "96");
    SheetLayout sheet(music.doc, pageOf(100, 1));
    ASSERT_GT(sheet.pages().size(), 2u);
    EXPECT_EQ(sheet.title().toStdString(), "Morning Song");
    EXPECT_EQ(sheet.author().toStdString(), "A. Writer");
    EXPECT_EQ(sheet.tuning().toStdString(), "C4 E4 G4");
    EXPECT_EQ(sheet.tempo().toStdString(), "96");
    const int pages = int(sheet.pages().size());
    EXPECT_EQ(sheet.footer(0).toStdString(), "1 / " + std::to_string(pages));
    EXPECT_EQ(sheet.footer(pages - 1).toStdString(), std::to_string(pages) + " / " + std::to_string(pages));
}

TEST(SheetWriterTest, PdfKeepsTheTitleAndLyricsAsText)
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    Music music(bar() + note("4", attr("Text", "Sunrise")) + repeat(note("4"), 3) + bar());
    music.doc.authorElement()->setAttribute(MusicAttr::Title, "Morning Song");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sheet.pdf"));
    const SheetWritten written = writeSheet(music.doc, SheetPageSetup(), SheetFormat::Pdf, path, music.sink);
    ASSERT_EQ(written.outcome, SheetWritten::Outcome::Written) << music.sink.messages;
    QProcess process;
    process.start(pdftotext, {path, QStringLiteral("-")});
    ASSERT_TRUE(process.waitForFinished());
    QString text = QString::fromUtf8(process.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QStringLiteral("Morning Song"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Sunrise"))) << text.toStdString();
    EXPECT_TRUE(text.remove(QLatin1Char(' ')).contains(QStringLiteral("1/1"))) << text.toStdString();
}

TEST(SheetWriterTest, PngPagesShowTheLanesWhereTheLayoutPutsThem)
{
    Music music(measures(30));
    QTemporaryDir dir;
    SheetPageSetup setup = pageOf(150, 3);
    setup.dpi = 150;
    const SheetWritten written =
        writeSheet(music.doc, setup, SheetFormat::Png, dir.filePath(QStringLiteral("sheet.png")), music.sink);
    ASSERT_EQ(written.outcome, SheetWritten::Outcome::Written) << music.sink.messages;
    SheetLayout sheet(music.doc, setup);
    ASSERT_EQ(written.files, sheetFiles(dir.filePath(QStringLiteral("sheet.png")), SheetFormat::Png,
                                        int(sheet.pages().size())));
    ASSERT_GT(written.files.size(), 1);
    EXPECT_TRUE(written.files.front().endsWith(QStringLiteral("sheet-1.png")));

    const QImage page(written.files.front());
    ASSERT_EQ(page.size(), sheet.pageSize());
    const QRgb laneGrey = qRgb(0xC8, 0xC8, 0xC8);
    const ViewLayout& layout = sheet.layout();
    const LayoutMetrics& m = layout.options().metrics;
    for (size_t column = 0; column < sheet.pages().front().strips.size(); ++column) {
        SCOPED_TRACE(column);
        const SheetStrip& strip = sheet.pages().front().strips[column];
        const QRect place = sheet.stripRect(0, int(column));
        const int stripTop = place.bottom() + 1 - int(std::ceil((strip.bottom - strip.top) * sheet.ratio()));
        const auto deviceX = [&](double x) { return place.left() + int(x * sheet.ratio()); };
        const auto deviceY = [&](double y) { return stripTop + int((y - strip.top) * sheet.ratio()); };
        // Down the middle of every lane, and beside the last one, over the lanes' rows.
        int inLane = 0, besideWhite = 0, rows = 0;
        for (int64_t y = strip.laneTop + 2; y < strip.laneBottom - 2; y += 3) {
            ++rows;
            for (int t = 0; t < 5; ++t)
                inLane += page.pixel(deviceX(layout.TineX(t) + m.tineWidth / 2.0), deviceY(double(y))) == laneGrey;
            besideWhite +=
                page.pixel(deviceX(layout.TineX(5) + m.rightMargin / 2.0), deviceY(double(y))) == qRgb(255, 255, 255);
        }
        ASSERT_GT(rows, 10);
        EXPECT_GT(inLane, rows * 5 * 3 / 4);
        EXPECT_EQ(besideWhite, rows);
    }
}

// An existing file goes only when the question is answered yes; a file that
// cannot be written says why, and what stood there stays.
TEST(SheetWriterTest, ReplacesOnlyWhenAllowedAndSaysWhyItFailed)
{
    struct AnsweringSink : MessageSink {
        void showMessage(const std::string& text) override { messages += text; }
        bool askYesNo(const std::string& text, const std::string&) override
        {
            questions += text;
            return yes;
        }
        bool yes = true;
        std::string messages, questions;
    };
    struct Row {
        const char* name;
        bool existing;
        bool yes;
        bool blocked; // in a folder that does not exist
        SheetWritten::Outcome outcome;
        bool asked;
    };
    const Row rows[] = {
        {"new file", false, true, false, SheetWritten::Outcome::Written, false},
        {"existing, yes", true, true, false, SheetWritten::Outcome::Written, true},
        {"existing, no", true, false, false, SheetWritten::Outcome::Cancelled, true},
        {"cannot be written", false, true, true, SheetWritten::Outcome::Failed, false},
    };
    Music music(measures(2));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        const QString path = dir.filePath(row.blocked ? QStringLiteral("missing/sheet.pdf") : QStringLiteral("sheet.pdf"));
        if (row.existing) {
            QFile old(path);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("old");
        }
        AnsweringSink sink;
        sink.yes = row.yes;
        const SheetWritten written = writeSheet(music.doc, SheetPageSetup(), SheetFormat::Pdf, path, sink);
        EXPECT_EQ(written.outcome, row.outcome);
        EXPECT_EQ(!sink.questions.empty(), row.asked);
        EXPECT_EQ(!sink.messages.empty(), row.outcome == SheetWritten::Outcome::Failed) << sink.messages;
        if (row.outcome == SheetWritten::Outcome::Failed) {
            EXPECT_NE(sink.messages.find("sheet.pdf"), std::string::npos) << sink.messages;
            EXPECT_FALSE(QFileInfo::exists(path));
        } else {
            QFile result(path);
            ASSERT_TRUE(result.open(QIODevice::ReadOnly));
            EXPECT_EQ(result.read(4) == "%PDF", row.outcome == SheetWritten::Outcome::Written);
        }
    }
}

// A cancel between pages, or a page that cannot be written, leaves no page
// and no temporary file, and the file that stood there as it was.
TEST(SheetWriterTest, CancelOrFailurePartWayLeavesNoFile)
{
    struct Row {
        const char* name;
        SheetFormat format;
        const char* old;     // a file there before, answered yes to replace
        const char* blocked; // a folder where a page would go
        SheetWritten::Outcome outcome;
    };
    const Row rows[] = {
        {"PDF, cancelled", SheetFormat::Pdf, "sheet.pdf", nullptr, SheetWritten::Outcome::Cancelled},
        {"PNG pages, cancelled", SheetFormat::Png, "sheet-1.png", nullptr, SheetWritten::Outcome::Cancelled},
        {"PNG pages, the second blocked", SheetFormat::Png, "sheet-1.png", "sheet-2.png",
         SheetWritten::Outcome::Failed},
    };
    const BackgroundLoad cancelled = [](const QString&, const std::function<void(WorkProgress&)>& work) {
        WorkProgress progress;
        progress.cancelled = true;
        work(progress);
        return false;
    };
    Music music(measures(30));
    ASSERT_GT(SheetLayout(music.doc, pageOf(150, 3)).pages().size(), 2u);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        QFile old(dir.filePath(QLatin1String(row.old)));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();
        QStringList before{QLatin1String(row.old)};
        if (row.blocked) {
            ASSERT_TRUE(QDir(dir.path()).mkdir(QLatin1String(row.blocked)));
            before << QLatin1String(row.blocked);
        }
        const QString path = dir.filePath(row.format == SheetFormat::Pdf ? QStringLiteral("sheet.pdf")
                                                                          : QStringLiteral("sheet.png"));
        const SheetWritten written = writeSheet(music.doc, pageOf(150, 3), row.format, path, music.sink,
                                                row.blocked ? BackgroundLoad(loadInPlace) : cancelled);
        EXPECT_EQ(written.outcome, row.outcome);
        before.sort();
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name), before);
        ASSERT_TRUE(old.open(QIODevice::ReadOnly));
        EXPECT_EQ(old.readAll(), "old");
    }
}

} // namespace
