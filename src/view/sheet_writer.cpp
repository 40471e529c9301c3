#include "view/sheet_writer.h"

#include "doc/message_sink.h"
#include "doc/zolva_doc.h"
#include "view/sheet_painter.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace {

// Fine enough that snapping lanes to whole device pixels never shows on paper.
constexpr int kPdfDpi = 1200;
// How much larger a page at a small ratio is drawn before it is shrunk.
constexpr int kMostFiner = 4;

std::string bytes(const QString& text)
{
    return text.toUtf8().toStdString();
}

void tellFailure(MessageSink& sink, const QString& file, const QString& reason)
{
    sink.showMessage(bytes(QStringLiteral("The sheet could not be written to %1:\n%2")
                               .arg(QDir::toNativeSeparators(file), reason)));
}

// Asks once about the files that already exist.
bool mayReplace(const QStringList& files, MessageSink& sink)
{
    QStringList existing;
    for (const QString& file : files)
        if (QFileInfo::exists(file))
            existing << QFileInfo(file).fileName();
    if (existing.isEmpty())
        return true;
    const QString text = existing.size() == 1
                             ? QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(existing.front())
                             : QStringLiteral("%1 and %2 more already exist.\nDo you want to replace them?")
                                   .arg(existing.front())
                                   .arg(existing.size() - 1);
    return sink.askYesNo(bytes(text), bytes(existing.front()));
}

QString writePdf(SheetLayout& sheet, const QString& file)
{
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return out.errorString();
    {
        QPdfWriter writer(&out);
        writer.setResolution(sheet.setup().dpi);
        writer.setPageLayout(QPageLayout(sheet.setup().paper, sheet.setup().orientation, QMarginsF()));
        writer.setTitle(sheet.title());
        writer.setCreator(QStringLiteral("Zolva Reader"));
        QPainter painter;
        if (!painter.begin(&writer))
            return QStringLiteral("The PDF could not be started.");
        for (int page = 0; page < int(sheet.pages().size()); ++page) {
            if (page > 0)
                writer.newPage();
            paintSheetPage(painter, sheet, page);
        }
        painter.end();
    }
    if (!out.commit())
        return out.errorString();
    return {};
}

QString writePng(SheetLayout& sheet, int page, const QString& file)
{
    const QImage image = sheetPageImage(sheet, page);
    if (image.isNull())
        return QStringLiteral("Not enough memory for a page of %1 × %2 pixels.")
            .arg(sheet.pageSize().width())
            .arg(sheet.pageSize().height());
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return out.errorString();
    if (!image.save(&out, "PNG"))
        return out.error() != QFileDevice::NoError ? out.errorString() : QStringLiteral("The image could not be encoded.");
    if (!out.commit())
        return out.errorString();
    return {};
}

} // namespace

QImage sheetPageImage(SheetLayout& sheet, int page)
{
    // Below a device pixel per layout pixel, lanes and lines snapped to whole
    // pixels come out uneven: such pages are drawn larger and shrunk.
    const int finer = std::clamp(int(std::ceil(1.0 / sheet.ratio())), 1, kMostFiner);
    QImage image(sheet.pageSize() * finer, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(Qt::white);
    {
        // Drawn at the screen's 96 dpi, the layout's own: the canvas sizes
        // its text for that. The image says its real resolution afterwards.
        QPainter painter(&image);
        painter.scale(finer, finer);
        paintSheetPage(painter, sheet, page, finer);
    }
    if (finer > 1)
        image = image.scaled(sheet.pageSize(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const int dotsPerMeter = int(std::lround(sheet.setup().dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

QStringList sheetFiles(const QString& path, SheetFormat format, int pageCount)
{
    if (format == SheetFormat::Pdf || pageCount <= 1)
        return {path};
    QString base = path;
    if (base.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        base.chop(4);
    QStringList files;
    for (int i = 1; i <= pageCount; ++i)
        files << QStringLiteral("%1-%2.png").arg(base).arg(i);
    return files;
}

SheetWritten writeSheet(const CZolvaDoc& doc, SheetPageSetup setup, SheetFormat format, const QString& path,
                        MessageSink& sink)
{
    if (format == SheetFormat::Pdf)
        setup.dpi = kPdfDpi;
    SheetWritten result;
    // The pages are drawn from a copy of the music laid out on its own: the
    // windows go on laying out and painting theirs while the pages are drawn.
    CZolvaDoc music(sink);
    if (!music.copyFrom(doc)) {
        tellFailure(sink, path, QStringLiteral("Not enough memory for a copy of the music."));
        return result;
    }
    SheetLayout sheet(music, setup);
    result.files = sheetFiles(path, format, int(sheet.pages().size()));
    if (!mayReplace(result.files, sink)) {
        result.outcome = SheetWritten::Outcome::Cancelled;
        return result;
    }
    for (int i = 0; i < result.files.size(); ++i) {
        const QString& file = result.files[i];
        const QString error = format == SheetFormat::Pdf ? writePdf(sheet, file) : writePng(sheet, i, file);
        if (!error.isEmpty()) {
            tellFailure(sink, file, error);
            result.outcome = SheetWritten::Outcome::Failed;
            return result;
        }
    }
    result.outcome = SheetWritten::Outcome::Written;
    return result;
}
