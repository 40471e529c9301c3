#include "app/tine_strip.h"

#include "app/tuner_dial.h"

#include <QPainter>

#include <cmath>

namespace {

constexpr int kCellWidth = 30;
constexpr int kCellHeight = 44;

} // namespace

TineStrip::TineStrip(QWidget* parent) : QWidget(parent)
{
    setMinimumHeight(kCellHeight);
}

void TineStrip::setTines(const QStringList& names)
{
    m_names = names;
    m_cents.assign(size_t(names.size()), std::nan(""));
    m_current = 0;
    updateGeometry();
    update();
}

void TineStrip::setReadings(const std::vector<double>& cents, int current)
{
    m_cents = cents;
    m_cents.resize(size_t(m_names.size()), std::nan(""));
    m_current = current;
    update();
}

QSize TineStrip::sizeHint() const
{
    return {std::max(1, int(m_names.size())) * kCellWidth, kCellHeight};
}

void TineStrip::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_names.isEmpty())
        return;
    const double cell = double(width()) / double(m_names.size());
    for (int i = 0; i < m_names.size(); ++i) {
        const QRectF box(i * cell + 1, 1, cell - 2, height() - 2);
        const double cents = m_cents[size_t(i)];
        const bool heard = !std::isnan(cents);
        p.fillRect(box, heard ? tuningColor(cents).lighter(170) : palette().color(QPalette::Base));
        p.setPen(QPen(i + 1 == m_current ? palette().color(QPalette::Highlight) : palette().color(QPalette::Mid),
                      i + 1 == m_current ? 2.0 : 1.0));
        p.drawRect(box);
        p.setPen(palette().color(QPalette::Text));
        p.drawText(box.adjusted(0, 2, 0, -box.height() / 2), Qt::AlignCenter, m_names[i]);
        if (heard) {
            const long whole = std::lround(cents);
            p.drawText(box.adjusted(0, box.height() / 2, 0, -2), Qt::AlignCenter,
                       whole == 0 ? QStringLiteral("0") : QString::asprintf("%+ld", whole));
        }
    }
}
