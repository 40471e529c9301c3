#include "app/window_placement.h"

#include <QStringList>
#include <QWidget>

#include <algorithm>
#include <array>

QString WindowPlacement::toText() const
{
    return QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8,%9,%10")
        .arg(flags)
        .arg(showCmd)
        .arg(minX)
        .arg(minY)
        .arg(maxX)
        .arg(maxY)
        .arg(left)
        .arg(top)
        .arg(right)
        .arg(bottom);
}

std::optional<WindowPlacement> WindowPlacement::fromText(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 10)
        return std::nullopt;
    std::array<int, 10> numbers{};
    for (int i = 0; i < 10; ++i) {
        bool ok = false;
        numbers[i] = parts[i].trimmed().toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    if (numbers[0] < 0 || numbers[1] < 0)
        return std::nullopt;
    WindowPlacement placement;
    placement.flags = unsigned(numbers[0]);
    placement.showCmd = unsigned(numbers[1]);
    placement.minX = numbers[2];
    placement.minY = numbers[3];
    placement.maxX = numbers[4];
    placement.maxY = numbers[5];
    placement.left = numbers[6];
    placement.top = numbers[7];
    placement.right = numbers[8];
    placement.bottom = numbers[9];
    return placement;
}

WindowPlacement WindowPlacement::of(const QWidget& window)
{
    WindowPlacement placement;
    const QRect normal = window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry();
    placement.left = normal.left();
    placement.top = normal.top();
    placement.right = normal.left() + normal.width();
    placement.bottom = normal.top() + normal.height();
    placement.flags = window.isMaximized() ? kRestoreToMaximized : 0;
    placement.showCmd = window.isMinimized() ? kShowMinimized
                        : window.isMaximized() ? kShowMaximized
                                               : kShowNormal;
    return placement;
}

void WindowPlacement::applyTo(QWidget& window) const
{
    if (right > left && bottom > top)
        window.setGeometry(left, top, right - left, bottom - top);
    showWindowAs(window, showCmd, flags);
}

QRect windowRoom(const QRect& available)
{
    // A title bar above, a thin border on the other sides.
    constexpr int kTitle = 32, kBorder = 8;
    return available.adjusted(kBorder, kTitle, -kBorder, -kBorder);
}

QRect fitInside(const QRect& wanted, const QRect& room)
{
    if (room.isEmpty())
        return wanted;
    const QSize size = wanted.size().boundedTo(room.size());
    const int left = std::clamp(wanted.left(), room.left(), room.right() + 1 - size.width());
    const int top = std::clamp(wanted.top(), room.top(), room.bottom() + 1 - size.height());
    return {QPoint(left, top), size};
}

void showWindowAs(QWidget& window, unsigned showCmd, unsigned flags)
{
    using P = WindowPlacement;
    switch (showCmd) {
    case P::kShowMinimized:
        // A window that was maximised before it was minimised comes back maximised.
        window.setWindowState((flags & P::kRestoreToMaximized) ? Qt::WindowMinimized | Qt::WindowMaximized
                                                               : Qt::WindowMinimized);
        window.show();
        break;
    case P::kShowMaximized:
        window.showMaximized();
        break;
    default:
        window.showNormal();
        break;
    }
}
