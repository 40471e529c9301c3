#include "view/frame_canvas.h"

#include "view/view_layout.h"

#include <algorithm>
#include <cmath>

namespace {

// How far beyond the frame a band end may lie before it is pulled in: far
// enough that nothing clipped by the frame changes shape where it shows.
constexpr int kReach = 100000;

bool g_smooth = true;

} // namespace

void setSmoothDrawing(bool on)
{
    g_smooth = on;
}

bool smoothDrawing()
{
    return g_smooth;
}

FrameCanvas::FrameCanvas(QPainter& painter, const ViewLayout& layout, int tineCount, int frameHeight, double ratio)
    : painter(painter), layout(layout), options(layout.options()), m(options.metrics), tools(options.tools),
      n(tineCount), m_metrics(tools.labelFont, painter.device()), m_ratio(ratio > 0 ? ratio : 1.0),
      m_smooth(g_smooth), m_nearTop(-kReach), m_nearBottom(frameHeight + kReach)
{
    painter.setFont(tools.labelFont);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(tools.whiteBrush);
    use(Mode::Shapes);
}

void FrameCanvas::use(Mode mode)
{
    if (mode == m_mode)
        return;
    m_mode = mode;
    QTransform t;
    if (mode != Mode::Device) {
        t.scale(m_ratio, m_ratio);
        // Aliased drawing at ratio 1 puts a one-pixel line on the pixel to the
        // right of and below its coordinate; elsewhere the line must be put
        // there, on the pixel's centre, or it straddles two.
        if (mode == Mode::Shapes && (m_ratio != 1.0 || m_smooth))
            t.translate(0.5, 0.5);
    }
    painter.setWorldTransform(t);
    painter.setRenderHint(QPainter::Antialiasing, mode == Mode::Shapes && m_smooth);
}

int FrameCanvas::snap(double v) const
{
    return int(std::lround(v * m_ratio));
}

QRect FrameCanvas::snapped(int left, int top, int right, int bottom) const
{
    const int l = snap(left);
    const int t = snap(top);
    return QRect(l, t, snap(right) - l, snap(bottom) - t);
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
    if (width <= 0 || height <= 0)
        return;
    use(Mode::Device);
    painter.fillRect(snapped(x, y, x + width, y + height), color);
    use(Mode::Shapes);
}

void FrameCanvas::fillBlack(int x, int y, int width, int height)
{
    fill(x, y, width, height, Qt::black);
}

void FrameCanvas::combine(int left, int top, int right, int bottom, uint32_t bgr, QPainter::CompositionMode mode)
{
    if (right <= left || bottom <= top)
        return;
    use(Mode::Device);
    painter.setCompositionMode(mode);
    painter.fillRect(snapped(left, top, right, bottom), colorFromRef(bgr));
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    use(Mode::Shapes);
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

void FrameCanvas::lane(int left, int top, int right, int bottom, const QPen& pen, const QBrush& brush)
{
    // Where aliased drawing at ratio 1 puts the outline, scaled: a pen of
    // width w covers w pixels from w / 2 before the line's coordinate (a
    // cosmetic pen, width 0, one device pixel from it).
    const int w = int(pen.widthF());
    const double radiusX = 2 * m_ratio;
    const double radiusY = 4 * m_ratio;
    use(Mode::Device);
    if (m_ratio == std::floor(m_ratio)) {
        // A whole ratio scales every edge alike: stroked as at ratio 1.
        const int deviceWidth = w == 0 ? 1 : snap(w);
        const auto centre = [&](int v) { return snap(v - w / 2) + deviceWidth / 2; };
        const int l = centre(left);
        const int t = centre(top);
        QPen devicePen = pen;
        devicePen.setWidth(w == 0 ? 0 : deviceWidth);
        painter.setPen(devicePen);
        painter.setBrush(brush);
        painter.drawRoundedRect(QRect(l, t, centre(right - 1) - l, centre(bottom - 1) - t), radiusX, radiusY,
                                Qt::AbsoluteSize);
    } else {
        // Edges at other ratios may differ by a device pixel: the outline is
        // the ring between two filled shapes, each edge snapped on its own.
        const auto start = [&](int v) { return w == 0 ? snap(v) : snap(v - w / 2); };
        const auto end = [&](int v) { return w == 0 ? snap(v) + 1 : snap(v - w / 2 + w); };
        const QRect outer(QPoint(start(left), start(top)), QPoint(end(right - 1) - 1, end(bottom - 1) - 1));
        const QRect inner(QPoint(end(left), end(top)), QPoint(start(right - 1) - 1, start(bottom - 1) - 1));
        painter.setPen(Qt::NoPen);
        painter.setBrush(pen.brush());
        painter.drawRoundedRect(outer, radiusX, radiusY, Qt::AbsoluteSize);
        painter.setBrush(brush);
        painter.drawRect(inner);
    }
    use(Mode::Shapes);
}

void FrameCanvas::line(int x1, int y1, int x2, int y2)
{
    painter.drawLine(x1, y1, x2, y2);
}

void FrameCanvas::text(int x, int y, const QString& text)
{
    use(Mode::Text);
    painter.setPen(Qt::black);
    painter.drawText(x, y + m_metrics.ascent(), text);
    use(Mode::Shapes);
}
