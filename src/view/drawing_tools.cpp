#include "view/drawing_tools.h"

#include <cmath>

namespace {

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kLaneGrey = 0xC8C8C8;
constexpr uint32_t kCursorCellGrey = 0x3C3C3C;
// Amber: apart from the selection's green and the lanes' shades.
constexpr uint32_t kPlayingAmber = 0x0070E0;

// Wide solid lines end and join round, as the tablature has always been drawn.
QPen solidPen(uint32_t bgr, double width)
{
    return QPen(QBrush(colorFromRef(bgr)), std::trunc(width), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

} // namespace

QColor colorFromRef(uint32_t bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

DrawingTools makeDrawingTools(double scale, QColor shade, int labelTenths)
{
    DrawingTools tools;
    tools.outlinePen = solidPen(kBlack, scale);
    tools.doublePen = solidPen(kBlack, 2 * scale);
    tools.whitePen = solidPen(kWhite, scale);
    tools.framePen = solidPen(kBlack, scale);
    tools.whiteBrush = QBrush(colorFromRef(kWhite));
    tools.blackBrush = QBrush(colorFromRef(kBlack));
    tools.laneBrush = QBrush(colorFromRef(kLaneGrey));
    tools.shadeBrush = QBrush(shade);
    tools.frameBrush = QBrush(colorFromRef(kBlack));
    tools.cursorCellBrush = QBrush(colorFromRef(kCursorCellGrey));
    tools.playingBrush = QBrush(colorFromRef(kPlayingAmber));
    tools.labelTenths = labelTenths;
    tools.labelFont = QFont(QStringLiteral("Arial"));
    tools.labelFont.setPointSizeF(labelTenths / 10.0);
    return tools;
}
