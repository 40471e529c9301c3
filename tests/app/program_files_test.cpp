// The files the program finds beside itself: the licence text and the user
// manual, where the build puts them and how the manual is looked for.
#include "app/online_documentation.h"
#include "app/program_files.h"
#include "url_recorder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kProgramDir = QStringLiteral(ZOLVA_PROGRAM_DIR);
const QString kSourceManual = QStringLiteral(ZOLVA_SOURCE_DIR "/docs/index.html");

TEST(ProgramFiles, TheBuildPutsTheLicenceAndTheManualBesideTheProgram)
{
    QFile license(kProgramDir + QStringLiteral("/readerLicense.txt"));
    ASSERT_TRUE(license.open(QIODevice::ReadOnly));
    EXPECT_TRUE(license.readAll().startsWith("MIT License"));
    EXPECT_EQ(findManual(manualCandidates(kProgramDir)),
              QUrl::fromLocalFile(kProgramDir + QStringLiteral("/docs/index.html")));
}

void touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

TEST(ProgramFiles, TheManualBesideTheProgramComesBeforeTheInstalledOneAndTheSourceTree)
{
    QTemporaryDir root;
    const QString program = root.filePath(QStringLiteral("bin"));
    const QString beside = program + QStringLiteral("/docs/index.html");
    const QString installed = root.filePath(QStringLiteral("share/zolva-reader/docs/index.html"));
    QDir().mkpath(program);

    // Neither: the developer's source tree.
    EXPECT_EQ(findManual(manualCandidates(program)), QUrl::fromLocalFile(kSourceManual));
    touch(installed);
    EXPECT_EQ(findManual(manualCandidates(program)), QUrl::fromLocalFile(installed));
    touch(beside);
    EXPECT_EQ(findManual(manualCandidates(program)), QUrl::fromLocalFile(beside));
    // A folder of that name is no manual.
    EXPECT_EQ(findManual({root.filePath(QStringLiteral("bin")), installed}), QUrl::fromLocalFile(installed));
    EXPECT_EQ(findManual({root.filePath(QStringLiteral("nowhere.html"))}),
              QUrl::fromLocalFile(root.filePath(QStringLiteral("nowhere.html"))));
}

// Installed, the program reads from its prefix's share folder and makes
// nothing under the prefix, even where it could (as root): the user's folders
// go to the user's data folder. A build tree keeps them beside the program.
TEST(ProgramFiles, WhereTheProgramReadsAndMakesFoldersFollowsWhereItRuns)
{
    struct Row {
        const char* name;
        const char* made; // folders or, ending in "!", a file before the start
        const char* read; // the program data folder, relative to the root
        const char* user; // where Music and Templates go: "bin/" or "data/"
    };
    const Row rows[] = {
        {"build tree", "", "bin", "bin/"},
        {"installed", "share/zolva-reader", "share/zolva-reader", "data/"},
        {"build tree that cannot be written", "bin/Music!", "bin", "data/"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir root;
        const QDir dir(root.path());
        dir.mkpath(QStringLiteral("bin"));
        const QString made = QString::fromUtf8(row.made);
        if (made.endsWith(u'!'))
            touch(dir.filePath(made.chopped(1)));
        else if (!made.isEmpty())
            dir.mkpath(made);
        const QString bin = dir.filePath(QStringLiteral("bin"));

        EXPECT_EQ(programDataFolder(bin).toStdString(), dir.filePath(QString::fromUtf8(row.read)).toStdString());
        const QString user = dir.filePath(QString::fromUtf8(row.user));
        EXPECT_EQ(makeUserFolders(bin + u'/', dir.filePath(QStringLiteral("data"))).toStdString(), user.toStdString());
        EXPECT_TRUE(QFileInfo(user + QStringLiteral("Music")).isDir());
        EXPECT_TRUE(QFileInfo(user + QStringLiteral("Templates")).isDir());
        if (runsInstalled(bin)) { // nothing new under the prefix
            EXPECT_TRUE(QDir(bin).isEmpty());
            EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("share/zolva-reader"))).isEmpty());
        }
    }
}

// In the source tree and in the copy beside the built program alike.
TEST(ProgramFiles, EveryLinkOfTheManualLeadsSomewhere)
{
    for (const QDir docs : {QFileInfo(kSourceManual).dir(), QDir(kProgramDir + QStringLiteral("/docs"))}) {
        SCOPED_TRACE(docs.path().toStdString());
        ASSERT_TRUE(docs.exists());
        for (const QString& page : docs.entryList({QStringLiteral("*.html")}, QDir::Files)) {
            QFile file(docs.filePath(page));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QString html = QString::fromUtf8(file.readAll());
            QSet<QString> ids;
            for (const auto& match : QRegularExpression(QStringLiteral(R"(\bid="([^"]+)\")")).globalMatch(html))
                ids.insert(match.captured(1));
            for (const auto& match :
                 QRegularExpression(QStringLiteral(R"(\b(?:href|src)="([^"]+)\")")).globalMatch(html)) {
                const QString target = match.captured(1);
                if (target.startsWith(QStringLiteral("http")))
                    continue;
                if (target.startsWith(u'#'))
                    EXPECT_TRUE(ids.contains(target.mid(1))) << page.toStdString() << ": " << target.toStdString();
                else
                    EXPECT_TRUE(QFileInfo::exists(docs.filePath(target.section(u'#', 0, 0))))
                        << page.toStdString() << ": " << target.toStdString();
            }
        }
    }
}

TEST(ProgramFiles, OnlineDocumentationOpensTheManualThatExists)
{
    UrlRecorder urls;
    OnOnlineDocumentation(urls.opener());
    ASSERT_EQ(urls.requests.size(), 1);
    EXPECT_TRUE(urls.requests.first().isLocalFile());
    EXPECT_TRUE(QFileInfo(urls.requests.first().toLocalFile()).isFile());
}

} // namespace
