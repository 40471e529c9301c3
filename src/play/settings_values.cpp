#include "play/settings_values.h"

#include "xml/xpxml_node.h"

#include <QSettings>

namespace {

QString settingsKey(const char* key)
{
    return QStringLiteral("Settings/") + QLatin1String(key);
}

} // namespace

long readSettingNumber(const char* key, long fallback)
{
    const QSettings settings(QStringLiteral("Zolva"), QStringLiteral("Zolva Reader"));
    const QByteArray text = settings.value(settingsKey(key)).toString().toUtf8();
    return text.isEmpty() ? fallback : xpxmlLeadingInteger(text.constData());
}

void writeSettingNumber(const char* key, long value)
{
    QSettings settings(QStringLiteral("Zolva"), QStringLiteral("Zolva Reader"));
    settings.setValue(settingsKey(key), QString::number(value));
}
