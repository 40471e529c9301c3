#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// Files the program reads from beside itself: the licence text and the user
// manual. The program folder is the folder of the running program file.

// "<program folder>/readerLicense.txt".
QString licenseFilePath();

// Where the manual's start page may be, best first: beside the program
// (docs/index.html), in the installed share folder, and in the source tree the
// program was built from.
QStringList manualCandidates(const QString& programFolder);

// The first candidate that exists as a file, as a local-file address; the
// first candidate when none exists (opening it then simply fails).
QUrl findManual(const QStringList& candidates);

// The manual's start page for the running program.
QUrl manualStartPage();

// The example pieces that come with the program: beside it, else in the
// installed share folder; empty when neither holds them.
QString examplesFolder(const QString& programFolder);
