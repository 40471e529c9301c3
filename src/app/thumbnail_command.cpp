#include "app/thumbnail_command.h"

#include "app/time_limit.h"
#include "doc/message_sink.h"
#include "doc/zolva_doc.h"
#include "view/piece_start_drawing.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageWriter>
#include <QSaveFile>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <new>

namespace {

using namespace std::chrono_literals;

// An ordinary piece takes a small part of a second; a file manager waits no
// longer than this for a hostile one.
constexpr auto kTimeLimit = 5s;
// The picture is at most as tall as a page of its width (3 by 4).
constexpr int kPageWidth = 3;
constexpr int kPageHeight = 4;
// The most device pixels drawn along the longer side: an enormous layout is
// drawn at a smaller scale instead.
constexpr double kMostDrawn = 4096;

void complain(const QString& text)
{
    std::fprintf(stderr, "zolva-reader: %s\n", qPrintable(text));
}

struct ErrorOutputSink : MessageSink {
    void showMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    // A file from before bar elements is upgraded in memory only, as the
    // program does; the file itself stays as it is.
    bool askYesNo(const std::string&, const std::string&) override { return true; }
};

// SIZE as a file manager passes it: a whole number of pixels from 1 to
// kMaxThumbnailSize. 0 for anything else.
int parseSize(const QString& text)
{
    bool ok = false;
    const int size = text.toInt(&ok);
    const bool digits = !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
    return ok && digits && size >= 1 && size <= kMaxThumbnailSize ? size : 0;
}

QByteArray pngOf(const QImage& picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    return !picture.isNull() && writer.write(picture) ? bytes : QByteArray();
}

// source shrunk to target by averaging the source pixels each target pixel
// covers, on this thread alone: Qt's smooth scaling spreads large pictures
// over its thread pool, and a thumbnailer, of which a file manager runs many
// at once, should keep to one core.
QImage shrunk(const QImage& picture, QSize target)
{
    const QImage source = picture.convertToFormat(QImage::Format_ARGB32);
    QImage out(target, QImage::Format_ARGB32);
    const double sx = double(source.width()) / target.width(), sy = double(source.height()) / target.height();
    for (int y = 0; y < target.height(); ++y) {
        const int top = int(y * sy), bottom = std::max(top + 1, std::min(source.height(), int((y + 1) * sy)));
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < target.width(); ++x) {
            const int left = int(x * sx), right = std::max(left + 1, std::min(source.width(), int((x + 1) * sx)));
            uint64_t a = 0, r = 0, g = 0, b = 0;
            for (int v = top; v < bottom; ++v) {
                const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(v));
                for (int u = left; u < right; ++u) {
                    a += uint64_t(qAlpha(in[u])), r += uint64_t(qRed(in[u])), g += uint64_t(qGreen(in[u])),
                        b += uint64_t(qBlue(in[u]));
                }
            }
            const uint64_t n = uint64_t(bottom - top) * uint64_t(right - left);
            line[x] = qRgba(int(r / n), int(g / n), int(b / n), int(a / n));
        }
    }
    return out;
}

} // namespace

QImage thumbnailPicture(CZolvaDoc& doc, int size)
{
    PieceStartDrawing start(doc);
    const QSize extent = start.extent();
    if (extent.isEmpty() || size < 1)
        return {};
    const int rows = int(std::min<int64_t>(extent.height(), int64_t(extent.width()) * kPageHeight / kPageWidth));
    const double longer = std::max(extent.width(), rows);
    // Drawn at no less than the layout's own size and smoothed down, so that
    // thin lines stay visible; a larger picture is drawn at its size, sharp.
    const double ratio = std::max(size / longer, std::min(1.0, kMostDrawn / longer));
    const QImage frame = start.draw(rows, extent.width(), {}, ratio);
    if (frame.isNull())
        return {};
    const QSize target = QSize(extent.width(), rows).scaled(size, size, Qt::KeepAspectRatio).expandedTo({1, 1});
    QImage picture = shrunk(frame, target);
    picture.setDevicePixelRatio(1.0);
    return picture;
}

int runThumbnailCommand(int& argc, char** argv, const QStringList& files)
{
    if (files.size() != 3) {
        complain(QStringLiteral("--thumbnail takes INPUT OUTPUT SIZE"));
        return 1;
    }
    const QString& input = files[0];
    const QString& output = files[1];
    const int size = parseSize(files[2]);
    if (size == 0) {
        complain(QStringLiteral("the size \"%1\" is not a number of pixels from 1 to %2")
                     .arg(files[2])
                     .arg(kMaxThumbnailSize));
        return 1;
    }
    ProcessTimeLimit limit(kTimeLimit, 1,
                           QStringLiteral("zolva-reader: %1 takes longer than %2 s to draw")
                               .arg(input)
                               .arg(std::chrono::seconds(kTimeLimit).count())
                               .toStdString());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ErrorOutputSink sink;
    CZolvaDoc doc(sink);
    if (doc.openDocument(input) != OpenOutcome::Opened)
        return 1;
    QByteArray png;
    try {
        png = pngOf(thumbnailPicture(doc, size));
    } catch (const std::bad_alloc&) {
        complain(QStringLiteral("out of memory drawing %1").arg(input));
        return 1;
    }
    // Written only once the time can no longer run out, so that OUTPUT is
    // never left half made.
    limit.disarm();
    if (png.isEmpty()) {
        complain(QStringLiteral("%1 has nothing to draw").arg(input));
        return 1;
    }
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly) || file.write(png) != png.size() || !file.commit()) {
        complain(QStringLiteral("cannot write %1: %2").arg(output, file.errorString()));
        return 1;
    }
    return 0;
}
