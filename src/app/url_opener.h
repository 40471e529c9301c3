#pragma once

#include <QUrl>

#include <functional>

// Opens an address in the user's browser (or a local file in its viewer);
// false when nothing could open it. Dialogs take one of these so that tests
// can record the requests instead.
using UrlOpener = std::function<bool(const QUrl&)>;

// The opener the program uses: the desktop's default handler for the address.
UrlOpener desktopUrlOpener();
