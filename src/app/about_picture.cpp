#include "app/about_picture.h"

#include <QPainter>

QPixmap kalimbaPicture(int width)
{
    const qreal w = width;
    const qreal h = width * 1.15;
    QPixmap picture(QSizeF(w, h).toSize());
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);

    // The wooden body with its sound hole.
    painter.setPen(QPen(QColor(0x6b, 0x40, 0x1e), w * 0.02));
    painter.setBrush(QColor(0xc8, 0x8a, 0x4e));
    painter.drawRoundedRect(QRectF(w * 0.05, h * 0.05, w * 0.9, h * 0.9), w * 0.12, w * 0.12);
    painter.setBrush(QColor(0x3a, 0x22, 0x10));
    painter.drawEllipse(QPointF(w * 0.5, h * 0.75), w * 0.1, w * 0.1);

    // The bridge and the tines: the centre tines are longest, as on the instrument.
    painter.setPen(QPen(QColor(0x55, 0x55, 0x55), w * 0.03, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(w * 0.15, h * 0.55), QPointF(w * 0.85, h * 0.55));
    constexpr int kTines = 9;
    painter.setPen(QPen(QColor(0xe8, 0xe8, 0xe8), w * 0.035, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < kTines; ++i) {
        const qreal x = w * (0.2 + 0.6 * i / (kTines - 1));
        const int fromCentre = i < kTines / 2 ? kTines / 2 - i : i - kTines / 2;
        const qreal top = h * (0.14 + 0.035 * fromCentre);
        painter.drawLine(QPointF(x, top), QPointF(x, h * 0.6));
    }
    return picture;
}
