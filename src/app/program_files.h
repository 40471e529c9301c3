#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// Files the program reads from beside itself: the licence text and the user
// manual. The program folder is the folder of the running program file.

// Whether the program runs installed: "<prefix>/share/zolva-reader" exists
// beside its folder "<prefix>/bin". Nothing is ever made under such a prefix.
bool runsInstalled(const QString& programFolder);

// The folder of what the program reads: "<prefix>/share/zolva-reader" when it
// runs installed, else the program folder itself (a build tree).
QString programDataFolder(const QString& programFolder);

// "<program data folder>/readerLicense.txt" of the running program.
QString licenseFilePath();

// Makes the user's "Music" and "Templates" folders and returns the folder
// that holds them, ending in "/": the program folder in a build tree, else
// userDataFolder (installed, or the build tree's folder cannot be written).
// When neither can be made, userDataFolder all the same.
QString makeUserFolders(const QString& programFolder, const QString& userDataFolder);

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
