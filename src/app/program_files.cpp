#include "app/program_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#ifndef ZOLVA_MANUAL_SOURCE_DIR
#error "ZOLVA_MANUAL_SOURCE_DIR must name the docs/ folder of the source tree"
#endif

QString licenseFilePath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/readerLicense.txt");
}

QStringList manualCandidates(const QString& programFolder)
{
    const QDir folder(programFolder);
    return {
        folder.filePath(QStringLiteral("docs/index.html")),
        QDir::cleanPath(folder.filePath(QStringLiteral("../share/zolva-reader/docs/index.html"))),
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
                                QDir::cleanPath(folder.filePath(QStringLiteral("../share/zolva-reader/examples")))}) {
        if (QFileInfo(path).isDir())
            return path;
    }
    return {};
}
