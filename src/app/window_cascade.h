#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>
#include <vector>

class QMdiArea;
class QWidget;

// Where document windows go, the classic way: each one step (a title bar's
// height) lower and to the right of the one before, all of one size (the
// area less four steps), back at the top left when the next would not fit.
class WindowCascade {
public:
    WindowCascade(QSize area, int step);

    QSize windowSize() const { return m_size; }
    // The place of a new window after one at previous (none: the top left).
    QPoint placeAfter(std::optional<QPoint> previous) const;
    // count windows cascaded from the top left.
    std::vector<QRect> arrange(int count) const;

private:
    bool fits(QPoint place) const;

    QSize m_area;
    int m_step;
    QSize m_size;
};

// The cascade of area's document windows, one step being window's title bar.
WindowCascade cascadeIn(const QMdiArea& area, const QWidget& window);
// Window > Cascade: the windows that show, restored and cascaded in their
// stacking order, so the active one stays on top.
void cascadeWindows(QMdiArea& area);
