#include "app/file_drop.h"

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

QStringList droppedFiles(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    QStringList files;
    for (const QUrl& url : data->urls()) {
        // A folder is no music file either.
        if (!url.isLocalFile() || QFileInfo(url.toLocalFile()).isDir())
            return {};
        files << url.toLocalFile();
    }
    return files;
}
