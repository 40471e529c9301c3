#include "app/url_opener.h"

#include <QDesktopServices>

UrlOpener desktopUrlOpener()
{
    return [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}
