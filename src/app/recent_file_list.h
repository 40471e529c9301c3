#pragma once

#include <QStringList>

// The four most recently opened files, most recent first, kept in the settings
// store's "Recent File List" as File1 … File4.
class RecentFileList {
public:
    static constexpr int kSize = 4;
    // How many characters of a name a menu entry shows.
    static constexpr int kMenuLength = 30;

    // Reads the stored list; empty entries are skipped.
    void load();
    void save() const;
    // Puts path first, dropping an older entry of the same file and the fifth.
    void add(const QString& path);
    void remove(const QString& path);
    const QStringList& files() const { return m_files; }

    // The menu entry of files()[index]: "&1 " and the name, shortened.
    QString menuText(int index) const;

private:
    QStringList m_files;
};

// path shortened to at most length characters: the file name with as much of
// the front of its folder as fits, "..." standing for the rest.
QString shortenedPath(const QString& path, int length);
