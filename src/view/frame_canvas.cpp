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

FrameCanvas::FrameCanvas(QPainter& painter, const ViewLayout& layout, int tineCount, int frameHeight, double ratio,
                         EllipseSprites* sprites)
    : painter(painter), layout(layout), options(layout.options()), m(options.metrics), tools(options.tools),
      n(tineCount), m_metrics(tools.labelFont, painter.device()), m_ratio(ratio > 0 ? ratio : 1.0),
      m_smooth(g_smooth), m_sprites(g_smooth ? sprites : nullptr), m_nearTop(-kReach),
      m_nearBottom(frameHeight + kReach)
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
    const QRect box = outlined(left, top, right, bottom);
    // Huge ones (absurd scales) are not worth keeping.
    constexpr int kLargestSprite = 200;
    if (!m_sprites || box.width() > kLargestSprite || box.height() > kLargestSprite || box.width() < 0 ||
        box.height() < 0) {
        painter.drawEllipse(box);
        return;
    }
    const QPen pen = painter.pen();
    const QBrush brush = painter.brush();
    const int margin = int(pen.widthF()) / 2 + 2;
    const EllipseSprites::Key key{box.width(), box.height(), pen.color().rgba(), pen.widthF(), int(pen.style()),
                                  brush.color().rgba(), int(brush.style()), m_ratio};
    const QImage& sprite = m_sprites->get(key, margin, pen, brush);
    use(Mode::Device);
    painter.drawImage(QPoint(snap(box.x() - margin), snap(box.y() - margin)), sprite);
    use(Mode::Shapes);
}

const QImage& EllipseSprites::get(const Key& key, int margin, const QPen& pen, const QBrush& brush)
{
    auto found = m_sprites.find(key);
    if (found != m_sprites.end())
        return found->second;
    constexpr size_t kMostSprites = 256;
    if (m_sprites.size() >= kMostSprites)
        m_sprites.clear();
    const auto [width, height, penColour, penWidth, penStyle, brushColour, brushStyle, ratio] = key;
    // Drawn as the canvas draws shapes, its origin margin pixels up and left of the ellipse's.
    QImage sprite(int(std::ceil((width + 2 * margin + 1) * ratio)), int(std::ceil((height + 2 * margin + 1) * ratio)),
                  QImage::Format_ARGB32_Premultiplied);
    sprite.fill(Qt::transparent);
    QPainter p(&sprite);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(ratio, ratio);
    p.translate(0.5 + margin, 0.5 + margin);
    p.setPen(pen);
    p.setBrush(brush);
    p.drawEllipse(QRect(0, 0, width, height));
    p.end();
    return m_sprites.emplace(key, std::move(sprite)).first->second;
}

void FrameCanvas::lane(int left, int top, int right, int bottom, const QPen& pen, const QBrush& brush)
{
    // Where aliased drawing at ratio 1 puts the outline, scaled: a pen of
    // width w covers w pixels from w / 2 before the line's coordinate (a
    // cosmetic pen, width 0, one device pixel from it).
    const int w = int(pen.widthF());
    const double radiusX = 2 * m_ratio;
    const double radiusY = 4 * m_ratio;
    const bool whole = m_ratio == std::floor(m_ratio);
    // Device columns and rows of the outline's outer and inner edges.
    struct Edges {
        int outer;
        int inner;
    };
    const auto near = [&](int v) -> Edges {
        if (whole) { // a whole ratio scales every edge alike
            const int start = snap(v - w / 2);
            return {start, start + (w == 0 ? 1 : snap(w))};
        }
        return w == 0 ? Edges{snap(v), snap(v) + 1} : Edges{snap(v - w / 2), snap(v - w / 2 + w)};
    };
    const auto far = [&](int v) -> Edges {
        const Edges e = near(v);
        return {e.inner, e.outer};
    };
    const Edges l = near(left), t = near(top), r = far(right - 1), b = far(bottom - 1);
    const int deviceWidth = l.inner - l.outer;

    // The rounded outline between device rows from and to (its outer edges).
    const auto draw = [&](int from, int to) {
        if (whole) {
            // Stroked as at ratio 1: the pen's centre line, from its outer edge.
            QPen devicePen = pen;
            devicePen.setWidth(w == 0 ? 0 : deviceWidth);
            painter.setPen(devicePen);
            painter.setBrush(brush);
            const int in = deviceWidth / 2;
            painter.drawRoundedRect(QRect(l.outer + in, from + in, r.inner - l.outer, to - from - deviceWidth),
                                    radiusX, radiusY, Qt::AbsoluteSize);
        } else {
            // Other ratios may make edges a device pixel apart: the ring
            // between two filled shapes, each edge snapped on its own.
            painter.setPen(Qt::NoPen);
            painter.setBrush(pen.brush());
            painter.drawRoundedRect(QRect(l.outer, from, r.outer - l.outer, to - from), radiusX, radiusY,
                                    Qt::AbsoluteSize);
            painter.setBrush(brush);
            painter.drawRect(QRect(l.inner, from + (t.inner - t.outer), r.inner - l.inner,
                                   to - from - (t.inner - t.outer) - (b.outer - b.inner)));
        }
    };
    use(Mode::Device);
    // Long lanes: only their rounded ends go through the path filler, the
    // straight middle is two plain fills.
    const int ends = int(std::ceil(radiusY)) + deviceWidth + 2;
    if (b.outer - t.outer <= 4 * ends) {
        draw(t.outer, b.outer);
    } else {
        draw(t.outer, t.outer + 2 * ends);
        draw(b.outer - 2 * ends, b.outer);
        const int rows = b.outer - t.outer - 2 * ends;
        painter.fillRect(QRect(l.outer, t.outer + ends, r.outer - l.outer, rows), pen.color());
        painter.fillRect(QRect(l.inner, t.outer + ends, r.inner - l.inner, rows), brush);
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
