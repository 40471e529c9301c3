#include "app/recent_file_list.h"

#include "doc/settings_store.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

bool sameFile(const QString& a, const QString& b)
{
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

} // namespace

void RecentFileList::load()
{
    m_files.clear();
    QSettings settings = programSettings();
    settings.beginGroup(QLatin1String(kRecentFileGroup));
    for (int i = 1; i <= kSize; ++i) {
        const QString path = settings.value(QStringLiteral("File%1").arg(i)).toString();
        if (!path.isEmpty())
            m_files << path;
    }
}

void RecentFileList::save() const
{
    QSettings settings = programSettings();
    settings.beginGroup(QLatin1String(kRecentFileGroup));
    for (int i = 1; i <= kSize; ++i) {
        const QString key = QStringLiteral("File%1").arg(i);
        if (i <= m_files.size())
            settings.setValue(key, m_files[i - 1]);
        else
            settings.remove(key);
    }
}

void RecentFileList::add(const QString& path)
{
    remove(path);
    m_files.prepend(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
    while (m_files.size() > kSize)
        m_files.removeLast();
}

void RecentFileList::remove(const QString& path)
{
    m_files.removeIf([&](const QString& file) { return sameFile(file, path); });
}

QString RecentFileList::menuText(int index) const
{
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shortenedPath(m_files.value(index), kMenuLength));
}

QString shortenedPath(const QString& path, int length)
{
    if (path.size() <= length)
        return path;
    const QString ellipsis = QStringLiteral("...");
    const qsizetype cut = path.lastIndexOf(QRegularExpression(QStringLiteral("[/\\\\:]")));
    const QString name = path.mid(cut + 1);
    const QString separator = cut >= 0 ? path.mid(cut, 1) : QString();
    if (name.size() + separator.size() + ellipsis.size() >= length)
        return name.size() <= length ? name : name.left(length - ellipsis.size()) + ellipsis;
    const qsizetype front = length - name.size() - separator.size() - ellipsis.size();
    return path.left(front) + ellipsis + separator + name;
}
