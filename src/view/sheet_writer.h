#pragma once

#include "doc/background_load.h"
#include "view/sheet_layout.h"

#include <QImage>
#include <QString>
#include <QStringList>

class CZolvaDoc;
class MessageSink;

enum class SheetFormat { Pdf, Png };

struct SheetWritten {
    enum class Outcome { Written, Cancelled, Failed } outcome = Outcome::Failed;
    QStringList files;
};

// The files a sheet of pageCount pages goes to: path itself for a PDF or a
// single PNG page, NAME-1.png, NAME-2.png … for more pages.
QStringList sheetFiles(const QString& path, SheetFormat format, int pageCount);

// Page (0-based) of sheet drawn on white, marked with the sheet's
// resolution; null when memory is short.
QImage sheetPageImage(SheetLayout& sheet, int page);

// Writes doc as a sheet to path: a vector PDF (setup.dpi is then the PDF's
// own resolution, fine enough for any printer), or PNG pages at setup.dpi.
// The pages are drawn in wait, which may run them on another thread (they
// need images, the PDF writer and painters on them, never a widget or a
// pixmap) and stop them between pages; a stop leaves no file and reports
// Cancelled.
// Each file is written whole or not at all, the PNG pages all together. A
// file that exists is replaced only when sink's question says yes; a
// failure is shown through sink with its reason.
SheetWritten writeSheet(const CZolvaDoc& doc, SheetPageSetup setup, SheetFormat format, const QString& path,
                        MessageSink& sink, const BackgroundLoad& wait = loadInPlace);
