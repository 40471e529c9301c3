// The pieces of start-up and settings that need no window: the placement
// record, the recent-file list, program folders and the command line.
#include "app/recent_file_list.h"
#include "app/window_placement.h"
#include "app/zolva_app.h"

#include <QSettings>

#include <gtest/gtest.h>

namespace {

TEST(WindowPlacementText, RoundTripsTheTenNumbers)
{
    WindowPlacement placement;
    placement.flags = 2;
    placement.showCmd = 3;
    placement.left = -8;
    placement.top = 20;
    placement.right = 1000;
    placement.bottom = 760;
    const QString text = placement.toText();
    EXPECT_EQ(text, "2,3,-1,-1,-1,-1,-8,20,1000,760");
    const auto back = WindowPlacement::fromText(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->toText(), text);
}

TEST(WindowPlacementText, RejectsAnythingButTenIntegers)
{
    for (const char* text : {"", "0,1,-1,-1,-1,-1,10,10,500", "0,1,-1,-1,-1,-1,10,10,500,400,7",
                             "0,1,-1,-1,-1,-1,10,10,500,4x0", "a,1,-1,-1,-1,-1,10,10,500,400",
                             "0,1,-1,-1,-1,-1,10,,500,400", "-1,1,-1,-1,-1,-1,10,10,500,400"}) {
        EXPECT_FALSE(WindowPlacement::fromText(QString::fromLatin1(text))) << text;
    }
    EXPECT_TRUE(WindowPlacement::fromText("0,1,-1,-1,-1,-1,10,10,500,400"));
}

TEST(ProgramFolders, FolderKeepsItsSeparator)
{
    const std::pair<const char*, const char*> rows[] = {
        {"C:\\Apps\\Player\\zolva.exe", "C:\\Apps\\Player\\"},
        {"D:\\zolva.exe", "D:\\"},
        {"D:zolva.exe", "D:"},
        {"/opt/zolva/bin/zolva-reader", "/opt/zolva/bin/"},
        {"zolva-reader", ""},
    };
    for (const auto& [path, folder] : rows)
        EXPECT_EQ(folderOfPath(path), QString(folder)) << path;
}

// The Open dialog starts on every kind the program reads, then each alone.
TEST(OpenDialog, StartsOnEveryReadableKind)
{
    const QStringList filters = musicFileFilters().split(";;");
    EXPECT_EQ(filters, (QStringList{"All readable files (*.zvm *.mid *.midi *.musicxml *.xml *.mxl)",
                                    "Zolva Files (*.zvm)", "MIDI Files (*.mid *.midi)",
                                    "MusicXML Files (*.musicxml *.xml *.mxl)"}));
}

// A window never opens larger than its screen, nor off it.
TEST(WindowPlacementFit, ShrinksAndMovesOntoTheScreen)
{
    const struct {
        const char* rule;
        QRect wanted, available, fitted;
    } rows[] = {
        {"fits already", {40, 50, 640, 480}, {0, 0, 1920, 1040}, {40, 50, 640, 480}},
        {"the first window on a 1600x1000 screen at ratio 2", {0, 0, 900, 700}, {0, 0, 800, 500},
         {8, 32, 784, 460}},
        {"saved off the screen's corner", {1500, 900, 640, 480}, {0, 0, 1280, 1024}, {632, 536, 640, 480}},
        {"saved on a larger screen", {-200, -100, 2400, 1600}, {0, 0, 1366, 740}, {8, 32, 1350, 700}},
    };
    for (const auto& row : rows) {
        const QRect fitted = fitInside(row.wanted, windowRoom(row.available));
        EXPECT_EQ(fitted, row.fitted) << row.rule;
        EXPECT_TRUE(row.available.contains(fitted)) << row.rule;
    }
}

TEST(CommandLineParsing, FileHelpAndIgnoredSwitches)
{
    EXPECT_EQ(parseCommandLine({"zolva-reader"}).files, QStringList());
    EXPECT_EQ(parseCommandLine({"zolva-reader", "--unknown", "-x"}).files, QStringList());
    EXPECT_EQ(parseCommandLine({"zolva-reader", "--unknown", "song.zvm"}).files, QStringList{"song.zvm"});
    EXPECT_EQ(parseCommandLine({"zolva-reader", "a.zvm", "b.mid"}).files, (QStringList{"a.zvm", "b.mid"}));
    EXPECT_TRUE(parseCommandLine({"zolva-reader", "--new-instance", "a.zvm"}).newInstance);
    EXPECT_TRUE(parseCommandLine({"zolva-reader", "--thumbnail", "a.zvm", "a.png", "128"}).thumbnail);
    EXPECT_TRUE(parseCommandLine({"zolva-reader", "--help"}).help);
    EXPECT_TRUE(parseCommandLine({"zolva-reader", "--help-all"}).help) << "the help offers it";
    EXPECT_TRUE(parseCommandLine({"zolva-reader", "--version"}).version);
    EXPECT_FALSE(parseCommandLine({"zolva-reader", "song.zvm"}).help);
}

TEST(RecentFiles, FourMostRecentFirstWithoutDuplicates)
{
    QSettings("Zolva", "Zolva Reader").remove("Recent File List");
    RecentFileList list;
    for (const char* name : {"/m/a.zvm", "/m/b.zvm", "/m/c.zvm", "/m/d.zvm", "/m/e.zvm", "/m/c.zvm"})
        list.add(name);
    EXPECT_EQ(list.files(), (QStringList{"/m/c.zvm", "/m/e.zvm", "/m/d.zvm", "/m/b.zvm"}));
    list.save();

    RecentFileList again;
    again.load();
    EXPECT_EQ(again.files(), list.files());
    again.remove("/m/e.zvm");
    again.save();
    EXPECT_EQ(QSettings("Zolva", "Zolva Reader").value("Recent File List/File3").toString(), "/m/b.zvm");
    EXPECT_FALSE(QSettings("Zolva", "Zolva Reader").contains("Recent File List/File4"));
    EXPECT_EQ(again.menuText(0), "&1 /m/c.zvm");
    QSettings("Zolva", "Zolva Reader").remove("Recent File List");
}

TEST(RecentFiles, LongNamesShortenedToThirtyCharacters)
{
    const QString longPath = "/home/someone/music/kalimba/collections/amazing_grace.zvm";
    const QString shown = shortenedPath(longPath, 30);
    EXPECT_EQ(shown.size(), 30);
    EXPECT_TRUE(shown.endsWith("/amazing_grace.zvm"));
    EXPECT_TRUE(shown.startsWith("/home"));
    EXPECT_EQ(shortenedPath("/short.zvm", 30), "/short.zvm");
    // A name longer than the room is cut itself.
    EXPECT_EQ(shortenedPath("/x/" + QString(40, 'n') + ".zvm", 30).size(), 30);
}

} // namespace
