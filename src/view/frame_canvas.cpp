#include "view/frame_canvas.h"

#include "view/view_layout.h"

#include <algorithm>
#include <cmath>

namespace {

// How far beyond the frame a band end may lie before it is pulled in: far
// enough that nothing clipped by the frame changes shape where it shows.
constexpr int kReach = 100000;

} // namespace

FrameCanvas::FrameCanvas(QPainter& painter, const ViewLayout& layout, int tineCount, int frameHeight)
    : painter(painter), layout(layout), options(layout.options()), m(options.metrics), tools(options.tools),
      n(tineCount), m_metrics(tools.labelFont, painter.device()), m_nearTop(-kReach),
      m_nearBottom(frameHeight + kReach)
{
    painter.setFont(tools.labelFont);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(tools.whiteBrush);
}

FrameCanvas::Band FrameCanvas::nearFrame(int64_t top, int64_t height) const
{
    const int64_t nearTop = std::clamp<int64_t>(top, m_nearTop, m_nearBottom);
    const int64_t nearBottom = std::clamp<int64_t>(top + height, m_nearTop, m_nearBottom);
    return {int(nearTop), int(nearBottom - nearTop)};
}

FrameCanvas::Band FrameCanvas::band(const XPxmlNode* element) const
{
    const ViewLayout::Band b = layout.EventBand(element);
    return nearFrame(b.top, b.height);
}

FrameCanvas::Band FrameCanvas::allBands() const
{
    const ViewLayout::Band b = layout.allBands();
    return nearFrame(b.top, b.height);
}

int FrameCanvas::tineX(int tine) const
{
    return layout.TineX(tine);
}

int FrameCanvas::vOffset(int tine) const
{
    if (!options.vTines)
        return 0;
    int v = 0;
    for (int i = 0; i < tine; ++i)
        v += i < n / 2 ? m.vStep : -m.vStep;
    return v;
}

int FrameCanvas::scaled(double factor) const
{
    return int(std::trunc(factor * options.scale));
}

void FrameCanvas::fill(int x, int y, int width, int height, QColor color)
{
    painter.fillRect(QRect(x, y, width, height), color);
}

void FrameCanvas::fillBlack(int x, int y, int width, int height)
{
    fill(x, y, width, height, Qt::black);
}

void FrameCanvas::combine(int left, int top, int right, int bottom, uint32_t bgr, QPainter::CompositionMode mode)
{
    if (right <= left || bottom <= top)
        return;
    painter.setCompositionMode(mode);
    painter.fillRect(QRect(left, top, right - left, bottom - top), colorFromRef(bgr));
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void FrameCanvas::orBlock(int left, int top, int right, int bottom, uint32_t bgr)
{
    combine(left, top, right, bottom, bgr, QPainter::RasterOp_SourceOrDestination);
}

void FrameCanvas::xorBlock(int left, int top, int right, int bottom, uint32_t bgr)
{
    combine(left, top, right, bottom, bgr, QPainter::RasterOp_SourceXorDestination);
}

void FrameCanvas::frame(int left, int top, int right, int bottom, QColor color)
{
    if (right <= left || bottom <= top)
        return;
    fill(left, top, right - left, 1, color);
    fill(left, bottom - 1, right - left, 1, color);
    fill(left, top, 1, bottom - top, color);
    fill(right - 1, top, 1, bottom - top, color);
}

QRect FrameCanvas::outlined(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left - 1, bottom - top - 1);
}

void FrameCanvas::ellipse(int left, int top, int right, int bottom)
{
    painter.drawEllipse(outlined(left, top, right, bottom));
}

void FrameCanvas::line(int x1, int y1, int x2, int y2)
{
    painter.drawLine(x1, y1, x2, y2);
}

void FrameCanvas::text(int x, int y, const QString& text)
{
    painter.setPen(Qt::black);
    painter.drawText(x, y + m_metrics.ascent(), text);
}
