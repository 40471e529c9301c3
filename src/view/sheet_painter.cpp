#include "view/sheet_painter.h"

#include "doc/zolva_doc.h"
#include "view/frame_canvas.h"
#include "view/lane_drawing.h"
#include "view/music_drawing.h"
#include "view/sheet_layout.h"

#include <QFont>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

QFont sheetFont(int pixels, bool bold = false)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(std::max(1, pixels));
    font.setBold(bold);
    return font;
}

void paintHeader(QPainter& painter, const SheetLayout& sheet)
{
    const QRect r = sheet.headerRect();
    painter.setPen(Qt::black);
    painter.setFont(sheetFont(sheet.titlePixels(), true));
    const int titleHeight = sheet.titlePixels() * 3 / 2;
    painter.drawText(QRect(r.left(), r.top(), r.width(), titleHeight), Qt::AlignHCenter | Qt::AlignTop, sheet.title());
    painter.setFont(sheetFont(sheet.textPixels()));
    const int line = sheet.textPixels() * 3 / 2;
    QRect row(r.left(), r.top() + titleHeight, r.width(), line);
    if (!sheet.author().isEmpty())
        painter.drawText(row, Qt::AlignHCenter | Qt::AlignTop, sheet.author());
    row.translate(0, line);
    painter.drawText(row, Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Tuning: ") + sheet.tuning());
    if (!sheet.tempo().isEmpty())
        painter.drawText(row, Qt::AlignRight | Qt::AlignTop, QStringLiteral("Tempo: ") + sheet.tempo());
}

void paintStrip(QPainter& painter, SheetLayout& sheet, const SheetStrip& strip, const QRect& column, int finer)
{
    ViewLayout& layout = sheet.layout();
    const CZolvaDoc& doc = sheet.document();
    const double ratio = sheet.ratio() * finer;
    const int rows = int(strip.bottom - strip.top);
    const int height = int(std::ceil(rows * sheet.ratio()));
    // Standing on the column's foot: every strip starts at the same height.
    const QRect place(column.left(), column.bottom() + 1 - height, column.width(), height);

    painter.save();
    // The canvas snaps to whole device pixels: it draws at the finer ratio
    // itself rather than through a scaled painter.
    painter.scale(1.0 / finer, 1.0 / finer);
    painter.setClipRect(QRect(place.topLeft() * finer, place.size() * finer));
    painter.translate(place.topLeft() * finer);
    layout.setViewport(int(strip.top), rows);
    {
        FrameCanvas canvas(painter, layout, doc.tineCount(), rows, ratio);
        const FrameCanvas::Band lanes{int(strip.laneTop - strip.top), int(strip.laneBottom - strip.laneTop)};
        drawLanes(canvas, lanes, doc.shadeText());
        if (canvas.options.tineLabels)
            drawTineLabels(canvas, strip.first);
        if (canvas.options.centreLine)
            drawCentreLine(canvas, lanes);
        drawMusic(canvas, VisibleRange{strip.first, strip.last, strip.firstBar, strip.opening}, doc);
    }
    painter.restore();
}

} // namespace

void paintSheetPage(QPainter& painter, SheetLayout& sheet, int page, int finer)
{
    finer = std::max(1, finer);
    if (page < 0 || size_t(page) >= sheet.pages().size())
        return;
    if (page == 0 && sheet.setup().header)
        paintHeader(painter, sheet);
    const std::vector<SheetStrip>& strips = sheet.pages()[size_t(page)].strips;
    for (size_t i = 0; i < strips.size(); ++i)
        paintStrip(painter, sheet, strips[i], sheet.stripRect(page, int(i)), finer);
    painter.setPen(Qt::black);
    painter.setFont(sheetFont(sheet.textPixels()));
    painter.drawText(sheet.footerRect(), Qt::AlignHCenter | Qt::AlignBottom, sheet.footer(page));
}
