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
#include <memory>
#include <vector>

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

// How the writing of a sheet's files ended: stopped by the player, failed
// at file for reason, or neither when every file is in place.
struct Ending {
    bool stopped = false;
    QString file;
    QString reason;
};

Ending stopped()
{
    return {.stopped = true, .file = {}, .reason = {}};
}

// The pages drawn one after another into the PDF; a cancel between them
// drops the file unwritten.
Ending writePdf(SheetLayout& sheet, const QString& file, WorkProgress& progress)
{
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return {.file = file, .reason = out.errorString()};
    {
        QPdfWriter writer(&out);
        writer.setResolution(sheet.setup().dpi);
        writer.setPageLayout(QPageLayout(sheet.setup().paper, sheet.setup().orientation, QMarginsF()));
        writer.setTitle(sheet.title());
        writer.setCreator(QStringLiteral("Zolva Reader"));
        QPainter painter;
        if (!painter.begin(&writer))
            return {.file = file, .reason = QStringLiteral("The PDF could not be started.")};
        for (int page = 0; page < int(sheet.pages().size()); ++page) {
            if (progress.cancelled)
                return stopped();
            if (page > 0)
                writer.newPage();
            paintSheetPage(painter, sheet, page);
            progress.done = size_t(page) + 1;
        }
        painter.end();
    }
    if (!out.commit())
        return {.file = file, .reason = out.errorString()};
    return {};
}

// Every page waits in its temporary file until the last one is drawn, so
// that a cancel or a failure part way leaves none of them, and the files
// they would replace as they were.
Ending writePngs(SheetLayout& sheet, const QStringList& files, WorkProgress& progress)
{
    std::vector<std::unique_ptr<QSaveFile>> outs;
    for (int page = 0; page < files.size(); ++page) {
        if (progress.cancelled)
            return stopped();
        const QString& file = files[page];
        const QImage image = sheetPageImage(sheet, page);
        if (image.isNull())
            return {.file = file,
                    .reason = QStringLiteral("Not enough memory for a page of %1 × %2 pixels.")
                                  .arg(sheet.pageSize().width())
                                  .arg(sheet.pageSize().height())};
        QSaveFile& out = *outs.emplace_back(std::make_unique<QSaveFile>(file));
        if (!out.open(QIODevice::WriteOnly))
            return {.file = file, .reason = out.errorString()};
        if (!image.save(&out, "PNG"))
            return {.file = file,
                    .reason = out.error() != QFileDevice::NoError ? out.errorString()
                                                                  : QStringLiteral("The image could not be encoded.")};
        progress.done = size_t(page) + 1;
    }
    for (const auto& out : outs)
        if (!out->commit())
            return {.file = out->fileName(), .reason = out->errorString()};
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
                        MessageSink& sink, const BackgroundLoad& wait)
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
    // What the work did decides the outcome: a Cancel after the last page
    // comes too late to stop anything.
    Ending ending;
    wait(QFileInfo(path).fileName(), [&](WorkProgress& progress) {
        progress.total = sheet.pages().size();
        ending = format == SheetFormat::Pdf ? writePdf(sheet, result.files.front(), progress)
                                            : writePngs(sheet, result.files, progress);
    });
    if (ending.stopped) {
        result.outcome = SheetWritten::Outcome::Cancelled;
    } else if (!ending.reason.isEmpty()) {
        tellFailure(sink, ending.file, ending.reason);
        result.outcome = SheetWritten::Outcome::Failed;
    } else {
        result.outcome = SheetWritten::Outcome::Written;
    }
    return result;
}
