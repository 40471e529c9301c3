#include "app/window_cascade.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QStyleOptionTitleBar>

#include <algorithm>

namespace {

constexpr int kSteps = 4;
// Below this a window would show nothing of the music; it then takes the area.
constexpr QSize kSmallest(160, 120);

int sideFor(int area, int step, int smallest)
{
    return std::max(area - kSteps * step, std::min(area, smallest));
}

} // namespace

WindowCascade::WindowCascade(QSize area, int step)
    : m_area(area), m_step(std::max(step, 1)),
      m_size(sideFor(area.width(), m_step, kSmallest.width()), sideFor(area.height(), m_step, kSmallest.height()))
{
}

bool WindowCascade::fits(QPoint place) const
{
    return place.x() + m_size.width() <= m_area.width() && place.y() + m_size.height() <= m_area.height();
}

QPoint WindowCascade::placeAfter(std::optional<QPoint> previous) const
{
    if (!previous)
        return {0, 0};
    const QPoint next = *previous + QPoint(m_step, m_step);
    return next.x() >= 0 && next.y() >= 0 && fits(next) ? next : QPoint(0, 0);
}

std::vector<QRect> WindowCascade::arrange(int count) const
{
    std::vector<QRect> places;
    std::optional<QPoint> previous;
    for (int i = 0; i < count; ++i) {
        previous = placeAfter(previous);
        places.emplace_back(*previous, m_size);
    }
    return places;
}

WindowCascade cascadeIn(const QMdiArea& area, const QWidget& window)
{
    QStyleOptionTitleBar option;
    option.initFrom(&window);
    const int step = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, &window);
    // The viewport is sized only once the area shows.
    const QSize size = area.isVisible() ? area.viewport()->size() : area.size();
    return WindowCascade(size, step);
}

void cascadeWindows(QMdiArea& area)
{
    std::vector<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : area.subWindowList(QMdiArea::StackingOrder)) {
        if (window->isVisible() && !window->isMinimized())
            windows.push_back(window);
    }
    if (windows.empty())
        return;
    const std::vector<QRect> places = cascadeIn(area, *windows.front()).arrange(int(windows.size()));
    for (size_t i = 0; i < windows.size(); ++i) {
        if (windows[i]->isMaximized())
            windows[i]->showNormal();
        windows[i]->setGeometry(places[i]);
        windows[i]->raise();
    }
}
