#include "app/tuner_dial.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kScaleCents = 50.0;
constexpr double kSweepDegrees = 60.0; // each way from upright

// Where on the arc a reading of cents points, in degrees from upright.
double degreesOf(double cents)
{
    return std::clamp(cents, -kScaleCents, kScaleCents) / kScaleCents * kSweepDegrees;
}

} // namespace

QColor tuningColor(double cents)
{
    return std::fabs(cents) <= TunerDial::kInTuneCents ? QColor(0x2E, 0x9D, 0x3A) : QColor(0xE0, 0x70, 0x00);
}

TunerDial::TunerDial(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(160, 90);
}

void TunerDial::setCents(std::optional<double> cents)
{
    m_cents = cents;
    update();
}

void TunerDial::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double radius = std::min(width() / 2.0, double(height())) - 8.0;
    const QPointF centre(width() / 2.0, height() - 4.0);
    const auto pointAt = [&](double degrees, double r) {
        const double a = (90.0 - degrees) * M_PI / 180.0;
        return QPointF(centre.x() + r * std::cos(a), centre.y() - r * std::sin(a));
    };
    // The scale: a tick every 10 cents, the in-tune band green.
    QPainterPath band;
    band.moveTo(pointAt(degreesOf(-kInTuneCents), radius));
    for (double c = -kInTuneCents; c <= kInTuneCents; c += 1.0)
        band.lineTo(pointAt(degreesOf(c), radius));
    band.lineTo(centre);
    band.closeSubpath();
    p.fillPath(band, QColor(0x2E, 0x9D, 0x3A, 60));
    p.setPen(QPen(palette().color(QPalette::WindowText), 1.5));
    for (int c = -50; c <= 50; c += 10)
        p.drawLine(pointAt(degreesOf(c), radius * (c == 0 ? 0.8 : 0.88)), pointAt(degreesOf(c), radius));
    if (!m_cents)
        return;
    p.setPen(QPen(tuningColor(*m_cents), 3.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, pointAt(degreesOf(*m_cents), radius * 0.95));
}
