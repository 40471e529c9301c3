#pragma once

#include <QUrl>

#include <functional>

// Opens an address in the user's browser (or a local file in its viewer).
// Dialogs take one of these so that tests can record the requests instead.
// A failure to open is ignored by every caller: there is nothing to report.
using UrlOpener = std::function<void(const QUrl&)>;

// The opener the program uses: the desktop's default handler for the address.
UrlOpener desktopUrlOpener();
