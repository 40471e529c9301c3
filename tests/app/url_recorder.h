#pragma once

#include "app/url_opener.h"

#include <QList>
#include <QUrl>

#include <ostream>

// Keeps the addresses a dialog asks to open instead of starting a browser.
struct UrlRecorder {
    QList<QUrl> requests;
    bool opens = true; // what the opener answers
    UrlOpener opener()
    {
        return [this](const QUrl& url) {
            requests.append(url);
            return opens;
        };
    }
};

// Readable addresses in test failures.
inline void PrintTo(const QUrl& url, std::ostream* out)
{
    *out << url.toString().toStdString();
}
