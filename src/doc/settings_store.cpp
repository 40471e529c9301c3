#include "doc/settings_store.h"

#include "xml/xpxml_node.h"

namespace {

QString settingsKey(const char* key)
{
    return QStringLiteral("Settings/") + QLatin1String(key);
}

} // namespace

QSettings programSettings()
{
    return QSettings(QStringLiteral("Zolva"), QStringLiteral("Zolva Reader"));
}

QString readSettingText(const char* key)
{
    return programSettings().value(settingsKey(key)).toString();
}

void writeSettingText(const char* key, const QString& text)
{
    programSettings().setValue(settingsKey(key), text);
}

long leadingIntegerOf(const QString& text)
{
    return xpxmlLeadingInteger(text.toUtf8().constData());
}

long readSettingNumber(const char* key, long fallback)
{
    const QString text = readSettingText(key);
    return text.isEmpty() ? fallback : leadingIntegerOf(text);
}

void writeSettingNumber(const char* key, long value)
{
    writeSettingText(key, QString::number(value));
}
