#include "app/program_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#ifndef ZOLVA_MANUAL_SOURCE_DIR
#error "ZOLVA_MANUAL_SOURCE_DIR must name the docs/ folder of the source tree"
#endif

namespace {

QString installedDataFolder(const QString& programFolder)
{
    return QDir::cleanPath(QDir(programFolder).filePath(QStringLiteral("../share/zolva-reader")));
}

bool makeMusicAndTemplates(const QString& parent)
{
    const QDir folder(parent);
    return folder.mkpath(QStringLiteral("Music")) && folder.mkpath(QStringLiteral("Templates"));
}

QString withSlash(const QString& folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

} // namespace

bool runsInstalled(const QString& programFolder)
{
    return QFileInfo(installedDataFolder(programFolder)).isDir();
}

QString programDataFolder(const QString& programFolder)
{
    return runsInstalled(programFolder) ? installedDataFolder(programFolder) : QDir::cleanPath(programFolder);
}

QString licenseFilePath()
{
    return programDataFolder(QCoreApplication::applicationDirPath()) + QStringLiteral("/readerLicense.txt");
}

QString makeUserFolders(const QString& programFolder, const QString& userDataFolder)
{
    // Asked by making them, not by permissions: root may write anywhere, yet an
    // installed prefix belongs to the package manager.
    if (!runsInstalled(programFolder) && makeMusicAndTemplates(programFolder))
        return withSlash(programFolder);
    makeMusicAndTemplates(userDataFolder);
    return withSlash(userDataFolder);
}

QStringList manualCandidates(const QString& programFolder)
{
    const QDir folder(programFolder);
    return {
        folder.filePath(QStringLiteral("docs/index.html")),
        installedDataFolder(programFolder) + QStringLiteral("/docs/index.html"),
        QStringLiteral(ZOLVA_MANUAL_SOURCE_DIR "/index.html"),
    };
}

QUrl findManual(const QStringList& candidates)
{
    for (const QString& path : candidates) {
        if (QFileInfo(path).isFile())
            return QUrl::fromLocalFile(path);
    }
    return candidates.isEmpty() ? QUrl() : QUrl::fromLocalFile(candidates.first());
}

QUrl manualStartPage()
{
    return findManual(manualCandidates(QCoreApplication::applicationDirPath()));
}

QString examplesFolder(const QString& programFolder)
{
    const QDir folder(programFolder);
    for (const QString& path : {folder.filePath(QStringLiteral("examples")),
                                installedDataFolder(programFolder) + QStringLiteral("/examples")}) {
        if (QFileInfo(path).isDir())
            return path;
    }
    return {};
}
