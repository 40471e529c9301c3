#pragma once

#include "view/display_options.h"

#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <QTransform>

#include <QImage>

#include <array>
#include <cmath>
#include <cstdint>
#include <map>

class ViewLayout;
class XPxmlNode;

// Whether heads, marks, lines and text are drawn anti-aliased (on unless
// switched off). Lanes, bar lines and the tints are crisp either way. Pixel
// probes switch it off to stay exact.
void setSmoothDrawing(bool on);
bool smoothDrawing();

// Shapes drawn once for each look and size, then copied: filling a smoothed
// outline, or stroking a wide one, is the dearest part of a paint at a high
// density. A key starts with the kind of shape and holds everything its
// pixels depend on.
class ShapeSprites {
public:
    using Key = std::array<double, 12>;
    // The picture for key: the first time, draw paints it on a transparent
    // image of the given size. Null once a paint has made its share of new
    // ones: the caller draws directly, so that a paint of ever-new shapes
    // costs no more than drawing them.
    template <typename Draw>
    const QImage* get(const Key& key, QSize size, Draw&& draw)
    {
        if (auto found = m_sprites.find(key); found != m_sprites.end())
            return &found->second;
        if (m_madeThisPaint >= kMostNewInAPaint)
            return nullptr;
        ++m_madeThisPaint;
        QImage sprite = blank(size);
        {
            QPainter p(&sprite);
            draw(p);
        }
        return &m_sprites.emplace(key, std::move(sprite)).first->second;
    }
    void beginPaint() { m_madeThisPaint = 0; }

private:
    static constexpr int kMostNewInAPaint = 96;
    QImage blank(QSize size);
    std::map<Key, QImage> m_sprites;
    int m_madeThisPaint = 0;
};

// What every drawing routine works with: the painter on the frame buffer, the
// layout that places the elements and the options it was made with, plus the
// few shapes the tablature is made of. Coordinates are frame coordinates:
// x is document x, y is window y, in layout pixels; the frame buffer holds
// ratio device pixels per layout pixel.
class FrameCanvas {
public:
    // A band in frame rows, its ends kept within reach of the frame so that
    // far-off elements (the ends of a long piece) cannot overflow the painter.
    struct Band {
        int top = 0;
        int height = 0;
        int bottom() const { return top + height; }
    };

    // painter paints in device pixels; ratio is device pixels per layout pixel.
    // The painter's transform, when it has one, places the frame on its device.
    // sprites, when given, keeps smoothed ellipses from one paint to the next.
    FrameCanvas(QPainter& painter, const ViewLayout& layout, int tineCount, int frameHeight, double ratio = 1.0,
                ShapeSprites* sprites = nullptr);

    QPainter& painter;
    const ViewLayout& layout;
    const DisplayOptions& options;
    const LayoutMetrics& m;
    const DrawingTools& tools;
    const int n; // tine count

    Band band(const XPxmlNode* element) const;
    // The rows every element's band lies in (ViewLayout::allBands).
    Band allBands() const;
    int tineX(int tine) const;
    // How far lane tine reaches below the others when V tines are on.
    int vOffset(int tine) const;
    // trunc(factor × scale).
    int scaled(double factor) const;

    void fill(int x, int y, int width, int height, QColor color);
    void fillBlack(int x, int y, int width, int height);
    // The rectangle left … right − 1, top … bottom − 1 combined with colour
    // 0x00BBGGRR by OR or exclusive OR: the music under it stays visible.
    void orBlock(int left, int top, int right, int bottom, uint32_t bgr);
    void xorBlock(int left, int top, int right, int bottom, uint32_t bgr);
    // … multiplied by it: black stays black, white takes the colour.
    void multiplyBlock(int left, int top, int right, int bottom, uint32_t bgr);
    // A one-pixel frame just inside left … right − 1, top … bottom − 1.
    void frame(int left, int top, int right, int bottom, QColor color);
    // The rectangle whose one-pixel outline runs along left … right − 1 and
    // top … bottom − 1 (Qt strokes a rectangle one pixel beyond its size).
    static QRect outlined(int left, int top, int right, int bottom);
    // The ellipse inside left … right − 1, top … bottom − 1, drawn with the
    // painter's pen and brush.
    void ellipse(int left, int top, int right, int bottom);
    // A lane: the rounded rectangle whose outline in pen runs just inside
    // left … right − 1, top … bottom − 1, its edges on whole device pixels.
    void lane(int left, int top, int right, int bottom, const QPen& pen, const QBrush& brush);
    // The device rectangle the straight middle of that lane covers with
    // opaque paint; empty when it has none or lets what is under it show.
    QRect laneMiddle(int left, int top, int right, int bottom, const QPen& pen, const QBrush& brush) const;
    // Paints the whole frame white except keep (device pixels): what the
    // lanes cover anyway is written once, not twice.
    void clearAround(const QRect& keep);
    void line(int x1, int y1, int x2, int y2);

    // Label-font text: black on opaque white, its top-left corner at x, y.
    void text(int x, int y, const QString& text);
    int textWidth(const QString& text) const { return m_metrics.horizontalAdvance(text); }
    int textHeight() const { return m_metrics.height(); }

private:
    // How the painter maps what is drawn next: shapes (smoothed, on pixel
    // centres as aliased drawing puts them), text, or device pixels as they are.
    enum class Mode { Shapes, Text, Device };
    void use(Mode mode);
    // Layout x or y to the device pixel edge nearest it.
    int snap(double v) const;
    QRect snapped(int left, int top, int right, int bottom) const;

    // Device columns and rows of an outline's outer and inner edges.
    struct Edges {
        int outer;
        int inner;
    };
    struct LaneEdges {
        Edges l, t, r, b;
        int deviceWidth; // of the outline
        int ends;        // rows at each end drawn as a rounded shape
    };
    bool wholeRatio() const { return m_ratio == std::floor(m_ratio); }
    LaneEdges laneEdges(int left, int top, int right, int bottom, const QPen& pen) const;
    // A smoothed shape copied from the sprites: shape says what it is (the
    // sprite key without where it falls against the device pixels), left,
    // top, width and height where, draw paints it with (left, top) at the
    // origin. False when no sprite is to be had: the caller draws it.
    using Shape = std::array<double, 9>;
    template <typename Draw>
    bool stamp(const Shape& shape, int left, int top, int width, int height, int margin, Draw&& draw);

    Band nearFrame(int64_t top, int64_t height) const;
    void combine(int left, int top, int right, int bottom, uint32_t bgr, QPainter::CompositionMode mode);

    // The label font sized for the device: layout pixels are those of a
    // 96-dpi screen, whatever the device's own resolution.
    QFont m_font;
    QFontMetrics m_metrics;
    // What the painter did before the canvas: where on a page the frame lies.
    QTransform m_base;
    double m_ratio;
    bool m_smooth;
    ShapeSprites* m_sprites;
    Mode m_mode = Mode::Device;
    int m_nearTop;
    int m_nearBottom;
};
