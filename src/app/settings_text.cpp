#include "app/settings_text.h"

#include "xml/xpxml_node.h"

#include <QSettings>

namespace {

QString settingsKey(const char* key)
{
    return QStringLiteral("Settings/") + QLatin1String(key);
}

} // namespace

QString readSettingText(const char* key)
{
    const QSettings settings(QStringLiteral("Zolva"), QStringLiteral("Zolva Reader"));
    return settings.value(settingsKey(key)).toString();
}

void writeSettingText(const char* key, const QString& text)
{
    QSettings settings(QStringLiteral("Zolva"), QStringLiteral("Zolva Reader"));
    settings.setValue(settingsKey(key), text);
}

long leadingIntegerOf(const QString& text)
{
    return xpxmlLeadingInteger(text.toUtf8().constData());
}
