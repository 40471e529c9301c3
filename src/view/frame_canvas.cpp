#include "view/frame_canvas.h"

#include "view/view_layout.h"

#include <QPaintEngine>

#include <algorithm>
#include <cmath>

namespace {

// How far beyond the frame a band end may lie before it is pulled in: far
// enough that nothing clipped by the frame changes shape where it shows.
constexpr int kReach = 100000;
// Qt fills up to about 96 lines on the calling thread.
constexpr int kLinesOnThisThread = 32;

// The corner radii of a lane's outline, in layout pixels.
constexpr double kLaneRadiusX = 2;
constexpr double kLaneRadiusY = 4;

bool g_smooth = true;

constexpr int kLayoutDpi = 96;
constexpr int kSeeThroughTint = 80;

QFont fontForDevice(const QFont& font, const QPaintDevice* device)
{
    const int dpi = device ? device->logicalDpiY() : kLayoutDpi;
    if (dpi <= 0 || dpi == kLayoutDpi)
        return font;
    QFont sized = font;
    sized.setPointSizeF(font.pointSizeF() * kLayoutDpi / dpi);
    return sized;
}

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
                         ShapeSprites* sprites)
    : painter(painter), layout(layout), options(layout.options()), m(options.metrics), tools(options.tools),
      n(tineCount), m_font(fontForDevice(tools.labelFont, painter.device())), m_metrics(m_font, painter.device()),
      m_base(painter.worldTransform()), m_ratio(ratio > 0 ? ratio : 1.0),
      m_smooth(g_smooth), m_sprites(g_smooth ? sprites : nullptr), m_nearTop(-kReach),
      m_nearBottom(frameHeight + kReach)
{
    if (m_sprites)
        m_sprites->beginPaint();
    painter.setFont(m_font);
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
    painter.setWorldTransform(t * m_base);
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
    // Below one device pixel per layout pixel (a sheet's small print) a thin
    // line must not round away.
    return QRect(l, t, std::max(snap(right) - l, right > left ? 1 : 0), std::max(snap(bottom) - t, bottom > top ? 1 : 0));
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
    QColor color = colorFromRef(bgr);
    // Devices without raster operations (a PDF) get a see-through tint instead.
    const QPaintEngine* engine = painter.paintEngine();
    const auto needed = mode == QPainter::CompositionMode_Multiply ? QPaintEngine::BlendModes : QPaintEngine::RasterOpModes;
    if (engine && !engine->hasFeature(needed)) {
        mode = QPainter::CompositionMode_SourceOver;
        color.setAlpha(kSeeThroughTint);
    }
    painter.setCompositionMode(mode);
    // In strips: Qt's raster engine hands a fill of more lines than these to
    // its thread pool, and drawing stays on the thread that draws.
    const QRect block = snapped(left, top, right, bottom);
    for (int y = block.top(); y <= block.bottom(); y += kLinesOnThisThread)
        painter.fillRect(QRect(block.left(), y, block.width(), std::min(kLinesOnThisThread, block.bottom() + 1 - y)), color);
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

void FrameCanvas::multiplyBlock(int left, int top, int right, int bottom, uint32_t bgr)
{
    combine(left, top, right, bottom, bgr, QPainter::CompositionMode_Multiply);
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

template <typename Draw>
bool FrameCanvas::stamp(const Shape& shape, int left, int top, int width, int height, int margin, Draw&& draw)
{
    // Where the sprite's first device column and row fall against the shape,
    // so that at ratios that are not whole the copy sits where drawing would.
    const double ratio = m_ratio;
    const double originX = (left - margin) * ratio;
    const double originY = (top - margin) * ratio;
    const QPoint origin(int(std::floor(originX)), int(std::floor(originY)));
    const double shiftX = originX - origin.x();
    const double shiftY = originY - origin.y();
    ShapeSprites::Key key{};
    std::copy(shape.begin(), shape.end(), key.begin());
    key[shape.size()] = shiftX;
    key[shape.size() + 1] = shiftY;
    key[shape.size() + 2] = ratio;
    const QSize size(int(std::ceil((width + 2 * margin + 1) * ratio)) + 1,
                     int(std::ceil((height + 2 * margin + 1) * ratio)) + 1);
    const QImage* sprite = m_sprites->get(key, size, [&](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(shiftX, shiftY);
        p.scale(ratio, ratio);
        p.translate(0.5 + margin, 0.5 + margin);
        draw(p);
    });
    if (!sprite)
        return false;
    use(Mode::Device);
    painter.drawImage(origin, *sprite);
    use(Mode::Shapes);
    return true;
}

void FrameCanvas::ellipse(int left, int top, int right, int bottom)
{
    const QRect box = outlined(left, top, right, bottom);
    // Huge ones (absurd scales) are not worth keeping.
    constexpr int kLargestSprite = 200;
    const bool keep = m_sprites && box.width() <= kLargestSprite && box.height() <= kLargestSprite &&
                      box.width() >= 0 && box.height() >= 0;
    const QPen pen = painter.pen();
    const QBrush brush = painter.brush();
    const Shape shape{0,
                      double(box.width()),
                      double(box.height()),
                      double(pen.color().rgba()),
                      pen.widthF(),
                      double(pen.style()),
                      double(brush.color().rgba()),
                      double(brush.style())};
    if (!keep || !stamp(shape, box.x(), box.y(), box.width(), box.height(), int(pen.widthF()) / 2 + 2, [&](QPainter& p) {
            p.setPen(pen);
            p.setBrush(brush);
            p.drawEllipse(QRect(0, 0, box.width(), box.height()));
        }))
        painter.drawEllipse(box);
}

QImage ShapeSprites::blank(QSize size)
{
    constexpr size_t kMostSprites = 512;
    if (m_sprites.size() >= kMostSprites)
        m_sprites.clear();
    QImage sprite(size, QImage::Format_ARGB32_Premultiplied);
    sprite.fill(Qt::transparent);
    return sprite;
}

FrameCanvas::LaneEdges FrameCanvas::laneEdges(int left, int top, int right, int bottom, const QPen& pen) const
{
    // Where aliased drawing at ratio 1 puts the outline, scaled: a pen of
    // width w covers w pixels from w / 2 before the line's coordinate (a
    // cosmetic pen, width 0, one device pixel from it).
    const int w = int(pen.widthF());
    const bool whole = wholeRatio();
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
    LaneEdges e{near(left), near(top), far(right - 1), far(bottom - 1), 0, 0};
    e.deviceWidth = e.l.inner - e.l.outer;
    e.ends = int(std::ceil(kLaneRadiusY * m_ratio)) + e.deviceWidth + 2;
    return e;
}

QRect FrameCanvas::laneMiddle(int left, int top, int right, int bottom, const QPen& pen, const QBrush& brush) const
{
    const bool opaque = pen.color().alpha() == 255 && brush.style() == Qt::SolidPattern && brush.color().alpha() == 255;
    const LaneEdges e = laneEdges(left, top, right, bottom, pen);
    if (!opaque || e.b.outer - e.t.outer <= 4 * e.ends)
        return {};
    return QRect(e.l.outer, e.t.outer + e.ends, e.r.outer - e.l.outer, e.b.outer - e.t.outer - 2 * e.ends);
}

void FrameCanvas::clearAround(const QRect& keep)
{
    use(Mode::Device);
    const QRect all(0, 0, painter.device()->width(), painter.device()->height());
    const QRect k = keep & all;
    if (k.isEmpty()) {
        painter.fillRect(all, Qt::white);
    } else {
        painter.fillRect(QRect(0, 0, all.width(), k.top()), Qt::white);
        painter.fillRect(QRect(0, k.bottom() + 1, all.width(), all.height() - k.bottom() - 1), Qt::white);
        painter.fillRect(QRect(0, k.top(), k.left(), k.height()), Qt::white);
        painter.fillRect(QRect(k.right() + 1, k.top(), all.width() - k.right() - 1, k.height()), Qt::white);
    }
    use(Mode::Shapes);
}

void FrameCanvas::lane(int left, int top, int right, int bottom, const QPen& pen, const QBrush& brush)
{
    const LaneEdges e = laneEdges(left, top, right, bottom, pen);
    const Edges l = e.l, t = e.t, r = e.r, b = e.b;
    const int deviceWidth = e.deviceWidth;
    const bool whole = wholeRatio();
    const double radiusX = kLaneRadiusX * m_ratio;
    const double radiusY = kLaneRadiusY * m_ratio;

    // The rounded outline between device rows from and to (its outer edges).
    const auto draw = [&](QPainter& p, int from, int to) {
        if (whole) {
            // Stroked as at ratio 1: the pen's centre line, from its outer edge.
            QPen devicePen = pen;
            devicePen.setWidth(pen.widthF() == 0 ? 0 : deviceWidth);
            p.setPen(devicePen);
            p.setBrush(brush);
            const int in = deviceWidth / 2;
            p.drawRoundedRect(QRect(l.outer + in, from + in, r.inner - l.outer, to - from - deviceWidth),
                                    radiusX, radiusY, Qt::AbsoluteSize);
        } else {
            // Other ratios may make edges a device pixel apart: the ring
            // between two filled shapes, each edge snapped on its own.
            p.setPen(Qt::NoPen);
            p.setBrush(pen.brush());
            p.drawRoundedRect(QRect(l.outer, from, r.outer - l.outer, to - from), radiusX, radiusY,
                                    Qt::AbsoluteSize);
            p.setBrush(brush);
            p.drawRect(QRect(l.inner, from + (t.inner - t.outer), r.inner - l.inner,
                                   to - from - (t.inner - t.outer) - (b.outer - b.inner)));
        }
    };
    // A rounded end, drawn once for its look and copied after (the shape
    // depends only on the edges' distances, never on where it lies).
    const auto drawEnd = [&](int from, int to) {
        if (!m_sprites) {
            draw(painter, from, to);
            return;
        }
        constexpr int kMargin = 2;
        const ShapeSprites::Key key{1,
                                    double(r.outer - l.outer),
                                    double(l.inner - l.outer),
                                    double(r.outer - r.inner),
                                    double(t.inner - t.outer),
                                    double(b.outer - b.inner),
                                    double(to - from),
                                    double(pen.color().rgba()),
                                    pen.widthF(),
                                    double(brush.color().rgba()),
                                    double(brush.style()),
                                    m_ratio};
        const QPoint origin(l.outer - kMargin, from - kMargin);
        const QSize size(r.outer - l.outer + 2 * kMargin, to - from + 2 * kMargin);
        const QImage* sprite = m_sprites->get(key, size, [&](QPainter& p) {
            p.translate(-origin);
            draw(p, from, to);
        });
        if (sprite)
            painter.drawImage(origin, *sprite);
        else
            draw(painter, from, to);
    };
    use(Mode::Device);
    // Long lanes: only their rounded ends go through the path filler, the
    // straight middle is plain fills, each pixel written once.
    const int ends = e.ends;
    if (b.outer - t.outer <= 4 * ends) {
        drawEnd(t.outer, b.outer);
    } else {
        drawEnd(t.outer, t.outer + 2 * ends);
        drawEnd(b.outer - 2 * ends, b.outer);
        const int y = t.outer + ends;
        const int rows = b.outer - t.outer - 2 * ends;
        if (r.inner > l.inner) {
            painter.fillRect(QRect(l.outer, y, l.inner - l.outer, rows), pen.color());
            painter.fillRect(QRect(r.inner, y, r.outer - r.inner, rows), pen.color());
            painter.fillRect(QRect(l.inner, y, r.inner - l.inner, rows), brush);
        } else {
            painter.fillRect(QRect(l.outer, y, r.outer - l.outer, rows), pen.color());
        }
    }
    use(Mode::Shapes);
}

void FrameCanvas::line(int x1, int y1, int x2, int y2)
{
    // Stems, hooks and flags repeat the same few shapes all over a frame:
    // smoothed, each is stroked once and copied after.
    const QPen pen = painter.pen();
    constexpr int kLongest = 200;
    const int left = std::min(x1, x2);
    const int top = std::min(y1, y2);
    const int width = std::abs(x2 - x1);
    const int height = std::abs(y2 - y1);
    const bool keep = m_sprites && width <= kLongest && height <= kLongest && pen.style() == Qt::SolidLine;
    const Shape shape{2,
                      double(x1 - left),
                      double(y1 - top),
                      double(x2 - left),
                      double(y2 - top),
                      double(pen.color().rgba()),
                      pen.widthF(),
                      double(int(pen.capStyle()) | int(pen.joinStyle()))};
    if (!keep || !stamp(shape, left, top, width, height, int(pen.widthF()) / 2 + 2, [&](QPainter& p) {
            p.setPen(pen);
            p.drawLine(x1 - left, y1 - top, x2 - left, y2 - top);
        }))
        painter.drawLine(x1, y1, x2, y2);
}

void FrameCanvas::text(int x, int y, const QString& text)
{
    use(Mode::Text);
    painter.setPen(Qt::black);
    painter.drawText(x, y + m_metrics.ascent(), text);
    use(Mode::Shapes);
}
