#include "app/url_opener.h"

#include <QDesktopServices>

UrlOpener desktopUrlOpener()
{
    return [](const QUrl& url) { QDesktopServices::openUrl(url); };
}
