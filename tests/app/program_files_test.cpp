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
