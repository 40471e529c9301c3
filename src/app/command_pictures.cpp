#include "app/command_pictures.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdlib>

namespace {

const QColor kInk(0x20, 0x20, 0x20);
const QColor kBlue(0x2a, 0x62, 0xb0);
const QColor kRed(0xc0, 0x30, 0x30);
const QColor kGreen(0x2a, 0x8a, 0x3a);
const QColor kYellow(0xe8, 0xc2, 0x5a);
const QColor kGrey(0x99, 0x99, 0x99);
const QColor kLight(0xdd, 0xdd, 0xdd);

// Outlines one pixel wide and fills, in the box's own units.
void shape(QPainter& p, const QPainterPath& path, const QColor& fill, const QColor& line = kInk, qreal width = 1)
{
    p.setPen(line.isValid() ? QPen(line, width) : QPen(Qt::NoPen));
    p.setBrush(fill.isValid() ? QBrush(fill) : QBrush(Qt::NoBrush));
    p.drawPath(path);
}

QPainterPath rect(qreal x, qreal y, qreal w, qreal h)
{
    QPainterPath path;
    path.addRect(x, y, w, h);
    return path;
}

QPainterPath ellipse(qreal cx, qreal cy, qreal rx, qreal ry)
{
    QPainterPath path;
    path.addEllipse(QPointF(cx, cy), rx, ry);
    return path;
}

QPainterPath lines(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    bool first = true;
    for (const QPointF& point : points) {
        first ? path.moveTo(point) : path.lineTo(point);
        first = false;
    }
    return path;
}

QPainterPath polygon(std::initializer_list<QPointF> points)
{
    QPainterPath path = lines(points);
    path.closeSubpath();
    return path;
}

void line(QPainter& p, QPointF from, QPointF to, const QColor& color = kInk, qreal width = 1)
{
    p.setPen(QPen(color, width));
    p.drawLine(from, to);
}

void label(QPainter& p, const QString& text, qreal y, qreal size, const QColor& color)
{
    QFont font = p.font();
    font.setPixelSize(1); // scaled below, so the letters keep to the box at any size
    font.setBold(true);
    p.save();
    p.translate(8, y);
    p.scale(size, size);
    p.setFont(font);
    p.setPen(color);
    p.drawText(QRectF(-4, -1, 8, 1.2), Qt::AlignCenter, text);
    p.restore();
}

// A note head, hollow or filled, with a stem and flags.
void note(QPainter& p, bool filled, bool withStem, int flagCount, qreal stemTop = 1.5)
{
    p.save();
    p.translate(6, 11);
    p.rotate(-20);
    shape(p, ellipse(0, 0, 3, 2.2), filled ? kInk : Qt::white);
    p.restore();
    if (!withStem)
        return;
    line(p, {8.6, 10.2}, {8.6, stemTop}, kInk, 1.2);
    const qreal gap = flagCount > 3 ? 2 : 2.5;
    for (int i = 0; i < flagCount; ++i) {
        QPainterPath flag;
        flag.moveTo(8.6, stemTop + i * gap);
        flag.quadTo(12.6, stemTop + i * gap + 2, 11.1, stemTop + i * gap + 5);
        shape(p, flag, QColor(), kInk, 1.1);
    }
}

void dot(QPainter& p, qreal x, qreal y, qreal r)
{
    shape(p, ellipse(x, y, r, r), kInk, QColor());
}

void page(QPainter& p)
{
    shape(p, polygon({{3, 1.5}, {10, 1.5}, {13, 4.5}, {13, 13.5}, {3, 13.5}}), Qt::white);
    shape(p, lines({{10, 1.5}, {10, 4.5}, {13, 4.5}}), QColor());
}

void arrowHead(QPainter& p, QPointF tip, qreal dx, qreal dy)
{
    shape(p, polygon({tip, {tip.x() - dx - dy, tip.y() - dy + dx}, {tip.x() - dx + dy, tip.y() - dy - dx}}), kBlue,
          QColor());
}

// A speed dial whose needle leans left (slower), stands up (as written) or
// leans right (faster).
void speedDial(QPainter& p, qreal lean)
{
    QPainterPath dial;
    dial.moveTo(1.5, 12.5);
    dial.arcTo(1.5, 3.5, 13, 18, 180, -180);
    dial.closeSubpath();
    shape(p, dial, Qt::white);
    for (qreal tick : {-0.9, -0.45, 0.0, 0.45, 0.9})
        line(p, {8 + 5.2 * std::sin(tick), 12.5 - 7.8 * std::cos(tick)},
             {8 + 6.2 * std::sin(tick), 12.5 - 8.8 * std::cos(tick)}, kGrey);
    line(p, {8, 12.5}, {8 + 5.5 * std::sin(lean), 12.5 - 7.5 * std::cos(lean)}, lean == 0 ? kGreen : kRed, 1.6);
    dot(p, 8, 12.5, 1.4);
}

void metronome(QPainter& p)
{
    shape(p, polygon({{5, 1.5}, {11, 1.5}, {13.5, 13.5}, {2.5, 13.5}}), QColor(0xc8, 0x9a, 0x50));
    shape(p, rect(3.5, 10, 9, 3.5), kLight, QColor());
    line(p, {8, 11}, {12.5, 3}, kInk, 1.3);
    dot(p, 10.8, 6, 1.3);
}

// Two arrows chasing each other round a circle.
void loop(QPainter& p)
{
    for (const qreal from : {190.0, 10.0}) {
        QPainterPath arc;
        arc.arcMoveTo(2, 3, 12, 9, from);
        arc.arcTo(2, 3, 12, 9, from, -140);
        shape(p, arc, QColor(), kBlue, 1.6);
        // The head points on along the circle, clockwise.
        const qreal end = qDegreesToRadians(from - 140);
        const QPointF along(6 * std::sin(end), 4.5 * std::cos(end));
        const QPointF unit = along / std::hypot(along.x(), along.y());
        arrowHead(p, arc.currentPosition() + unit * 2.5, unit.x() * 3.5, unit.y() * 3.5);
    }
}

} // namespace

bool drawCommandPicture(int id, QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    switch (id) {
    case 57600: page(p); break;
    case 57601: shape(p, polygon({{1.5, 3.5}, {6.5, 3.5}, {7.5, 5}, {13.5, 5}, {13.5, 13}, {1.5, 13}}), kYellow); break;
    case 57603:
        shape(p, rect(2, 1.5, 12, 12), kBlue);
        shape(p, rect(4.5, 2, 7, 4), Qt::white, QColor());
        shape(p, rect(5, 9, 6, 4.5), kLight, QColor());
        break;
    case 32818:
        shape(p, rect(1.5, 2.5, 13, 10), Qt::white);
        shape(p, polygon({{2, 12}, {6, 7}, {9, 10}, {11, 8}, {14, 12}}), kGreen, QColor());
        shape(p, ellipse(11, 5.5, 1.3, 1.3), kYellow, QColor());
        break;
    case 57607:
        shape(p, rect(4, 1.5, 8, 5), Qt::white);
        shape(p, rect(1.5, 6.5, 13, 5), kGrey);
        shape(p, rect(4, 10, 8, 3.5), Qt::white);
        break;
    case 32805:
        shape(p, ellipse(8, 7.5, 4.5, 4.5), kGrey, kInk, 2);
        shape(p, ellipse(8, 7.5, 1.8, 1.8), Qt::white);
        break;
    case 32824:
        shape(p, ellipse(8, 4.5, 3, 3), QColor(0xe0, 0xb0, 0x90));
        {
            QPainterPath body;
            body.moveTo(2.5, 14);
            body.cubicTo(2.5, 10, 5, 8, 8, 8);
            body.cubicTo(11, 8, 13.5, 10, 13.5, 14);
            body.closeSubpath();
            shape(p, body, kBlue);
        }
        break;
    case 57664:
        shape(p, ellipse(8, 7.5, 6.5, 6.5), kBlue, QColor());
        label(p, QStringLiteral("?"), 11.5, 11, Qt::white);
        break;
    case 57635:
        shape(p, ellipse(4.5, 11.5, 2.2, 2.2), QColor());
        shape(p, ellipse(11.5, 11.5, 2.2, 2.2), QColor());
        line(p, {6, 10}, {11.5, 1.5}, kInk, 1.2);
        line(p, {10, 10}, {4.5, 1.5}, kInk, 1.2);
        break;
    case 57634:
        shape(p, rect(1.5, 1.5, 8, 9), Qt::white);
        shape(p, rect(6.5, 4.5, 8, 9), Qt::white);
        break;
    case 57637:
        shape(p, rect(2, 2.5, 10, 11), QColor(0xc8, 0x9a, 0x50));
        shape(p, rect(4.5, 1, 5, 3), kLight);
        shape(p, rect(7.5, 6.5, 7, 7), Qt::white);
        break;
    case 57643:
    case 57644: {
        // Redo is Undo in a mirror.
        p.save();
        if (id == 57644) {
            p.translate(16, 0);
            p.scale(-1, 1);
        }
        QPainterPath hook;
        hook.moveTo(4, 6.5);
        hook.lineTo(10, 6.5);
        hook.arcTo(6.5, 6.5, 7, 7, 90, -180);
        hook.lineTo(7, 13.5);
        shape(p, hook, QColor(), kBlue, 1.6);
        shape(p, polygon({{1, 6.5}, {5, 3}, {5, 10}}), kBlue, QColor());
        p.restore();
        break;
    }
    case 32826: shape(p, polygon({{4, 2}, {13, 7.5}, {4, 13}}), kGreen); break;
    case 32827: shape(p, rect(3, 3, 9, 9), kRed); break;
    case 33000:
        shape(p, polygon({{1.5, 2}, {8.5, 7.5}, {1.5, 13}}), kGreen);
        shape(p, rect(9.5, 4, 5.5, 7), kRed);
        break;
    case 33001: speedDial(p, -0.8); break;
    case 33002: speedDial(p, 0.8); break;
    case 33003: speedDial(p, 0); break;
    case 33005: metronome(p); break;
    case 33006: loop(p); break;
    case 32831:
    case 32832: {
        // End is Home upside down.
        p.save();
        if (id == 32832) {
            p.translate(0, 15);
            p.scale(1, -1);
        }
        line(p, {2, 2.5}, {14, 2.5}, kInk, 1.6);
        shape(p, polygon({{8, 4}, {13, 10}, {3, 10}}), kBlue, QColor());
        shape(p, rect(7, 9.5, 2, 4), kBlue, QColor());
        p.restore();
        break;
    }
    case 32830: {
        QPainterPath links;
        links.addRoundedRect(1.5, 4.5, 7, 6, 3, 3);
        links.addRoundedRect(7.5, 4.5, 7, 6, 3, 3);
        shape(p, links, QColor(), kBlue, 1.6);
        break;
    }
    case 57652:
        shape(p, rect(1.5, 1.5, 6, 12), Qt::white);
        shape(p, rect(8.5, 1.5, 6, 12), Qt::white);
        shape(p, rect(2, 2, 5, 2), kBlue, QColor());
        shape(p, rect(9, 2, 5, 2), kBlue, QColor());
        break;
    case 32833: {
        QPainterPath box;
        box.addRoundedRect(1.5, 3.5, 13, 8, 1, 1);
        shape(p, box, kLight);
        for (qreal x : {4.0, 6.5, 9.0, 11.5})
            dot(p, x, 7.5, 1);
        break;
    }
    case 32815:
        shape(p, polygon({{2, 5.5}, {5, 5.5}, {9, 2}, {9, 13}, {5, 9.5}, {2, 9.5}}), kGrey);
        line(p, {11, 5}, {15, 10}, kRed, 1.4);
        line(p, {15, 5}, {11, 10}, kRed, 1.4);
        break;
    case 32820:
        for (qreal x : {3.0, 6.5, 10.0, 13.5})
            line(p, {x, 6}, {x, 14});
        label(p, QStringLiteral("123"), 4.5, 5.5, kBlue);
        break;
    case 32816:
        line(p, {1, 13.5}, {15, 13.5});
        line(p, {8, 7}, {8, 13.5});
        label(p, QStringLiteral("12"), 5, 6, kBlue);
        break;
    case 32821:
        shape(p, lines({{1.5, 13.5}, {8, 2.5}, {14.5, 13.5}}), QColor(), kInk, 1.3);
        shape(p, lines({{4.5, 13.5}, {8, 7.5}, {11.5, 13.5}}), QColor());
        break;
    case 32822:
        line(p, {3, 2}, {3, 13}, kGrey);
        line(p, {13, 2}, {13, 13}, kGrey);
        line(p, {8, 1}, {8, 14}, kRed, 1.5);
        break;
    case 32817:
        line(p, {3, 13}, {3, 3}, kBlue, 1.4);
        arrowHead(p, {3, 1.5}, 0, -3);
        line(p, {13, 2}, {13, 12}, kBlue, 1.4);
        arrowHead(p, {13, 13.5}, 0, 3);
        label(p, QStringLiteral("#"), 8.5, 8, kInk);
        break;
    case 32789: note(p, false, false, 0); break;
    case 32790: note(p, false, true, 0); break;
    case 32791: note(p, true, true, 0); break;
    case 32792: note(p, true, true, 1); break;
    case 32793: note(p, true, true, 2); break;
    case 32794: note(p, true, true, 3); break;
    case 32795: note(p, true, true, 4, 0.5); break;
    case 32796:
        note(p, true, true, 0);
        dot(p, 12, 11, 1.3);
        break;
    case 32806:
        note(p, true, true, 0);
        dot(p, 11.5, 11, 1.2);
        dot(p, 14.5, 11, 1.2);
        break;
    case 32800: {
        shape(p, ellipse(3.5, 11, 2.2, 1.6), kInk, QColor());
        shape(p, ellipse(12.5, 11, 2.2, 1.6), kInk, QColor());
        QPainterPath tie;
        tie.moveTo(3, 8);
        tie.quadTo(8, 3, 13, 8);
        shape(p, tie, QColor(), kInk, 1.3);
        break;
    }
    case 32807:
        shape(p, lines({{1.5, 6}, {1.5, 3.5}, {5.5, 3.5}}), QColor());
        shape(p, lines({{10.5, 3.5}, {14.5, 3.5}, {14.5, 6}}), QColor());
        label(p, QStringLiteral("3"), 4, 7, kInk);
        for (qreal x : {3.0, 8.0, 13.0})
            shape(p, ellipse(x, 12, 1.7, 1.3), kInk, QColor());
        break;
    case 32812:
        line(p, {4.5, 3}, {4.5, 12}, kInk, 1.1);
        line(p, {11.5, 3}, {11.5, 12}, kInk, 1.1);
        shape(p, rect(4.5, 2.5, 7, 2), kInk, QColor());
        shape(p, ellipse(3, 12, 2, 1.5), kInk, QColor());
        shape(p, ellipse(10, 12, 2, 1.5), kInk, QColor());
        break;
    case 32804: {
        QPainterPath arc;
        arc.moveTo(2, 11);
        arc.arcTo(2, 5, 12, 12, 180, -180);
        shape(p, arc, QColor(), kInk, 1.5);
        dot(p, 8, 10, 1.5);
        break;
    }
    case 32797: {
        QPainterPath rest;
        rest.moveTo(6, 1.5);
        rest.lineTo(9.5, 5.5);
        rest.lineTo(6.5, 9);
        rest.lineTo(10, 13.5);
        rest.quadTo(6, 12, 7, 14.5);
        p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(rest);
        break;
    }
    default: return false;
    }
    return true;
}

void drawProgramPicture(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QColor wood(0xb5, 0x77, 0x3a);
    const QColor dark(0x5a, 0x35, 0x12);
    QPainterPath board;
    board.addRoundedRect(6, 6, 52, 54, 10, 10);
    shape(p, board, wood, dark, 2);
    shape(p, rect(10, 38, 44, 5), dark, QColor());
    for (int i = 0; i < 7; ++i) {
        const int fromMiddle = std::abs(i - 3);
        QPainterPath tine;
        tine.addRoundedRect(14 + i * 6, 10 + fromMiddle * 5, 4, 30 - fromMiddle * 5, 1.5, 1.5);
        shape(p, tine, QColor(0xe6, 0xe6, 0xe6), QColor(0x55, 0x55, 0x55), 0.8);
    }
    shape(p, ellipse(32, 51, 5, 5), dark, QColor());
}
