#include "app/performance_export.h"

#include "app/zolva_view.h"
#include "doc/message_sink.h"
#include "doc/zolva_doc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString suggestedExportFile(const QString& documentPath, const QString& folder, const QString& suffix)
{
    QString name = QFileInfo(documentPath).completeBaseName();
    if (name.isEmpty())
        name = QStringLiteral("music");
    return QDir(folder).filePath(name + suffix);
}

PerformanceMusic performanceMusicOf(CZolvaView& view, int speed, bool metronome)
{
    CZolvaDoc& doc = view.document();
    PerformanceMusic music;
    music.noteList = doc.noteList();
    music.tineCount = doc.tineCount();
    music.tineKeys = view.layout().options().tineKeys;
    music.speed = speed;
    music.metronome = metronome;
    return music;
}

void reportCutPerformance(const QString& path, MessageSink& messages)
{
    messages.showMessage(formatMessage("The music repeats until it is stopped: %s holds its first %d minutes.",
                                       QFile::encodeName(QFileInfo(path).fileName()).constData(),
                                       int(kLongestPerformance / 60000000)));
}

void reportUnwritable(const QString& path, const QString& reason, MessageSink& messages)
{
    messages.showMessage(formatMessage("Unable to write %s: %s", QFile::encodeName(path).constData(),
                                       reason.toLocal8Bit().constData()));
}
