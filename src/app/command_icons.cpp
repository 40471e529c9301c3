#include "app/command_icons.h"

#include "app/command_table.h"

#include <QFile>

QIcon bundledCommandIcon(int id)
{
    const QString path = QStringLiteral(":/icons/%1.svg").arg(id);
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

QIcon commandIcon(const CommandInfo& command)
{
    const QIcon own = bundledCommandIcon(command.id);
    if (!command.themeIcon)
        return own;
    return QIcon::fromTheme(QLatin1String(command.themeIcon), own);
}
