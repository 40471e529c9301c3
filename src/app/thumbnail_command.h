#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

class CZolvaDoc;

// The largest thumbnail drawn, in pixels: twice the largest size that
// file managers keep.
inline constexpr int kMaxThumbnailSize = 2048;

// The start of doc's tablature (tine names, the first notes, the lanes) as
// wide as the piece and at most as tall as a page of that width, scaled so
// that its larger side is size pixels. Null when there is nothing to draw.
QImage thumbnailPicture(CZolvaDoc& doc, int size);

// zolva-reader --thumbnail INPUT OUTPUT SIZE, files being those three, as a
// file manager runs it: INPUT's picture written whole to OUTPUT as a PNG, on
// Qt's offscreen platform so that no display is needed, and the process
// ended within a few seconds whatever INPUT holds. Returns the exit status:
// 0 when OUTPUT was written; 1, with the reason on standard error and
// nothing written, when the arguments are wrong, INPUT is no music file
// that opens or the time runs out. Must run before any application object
// exists.
int runThumbnailCommand(int& argc, char** argv, const QStringList& files);
