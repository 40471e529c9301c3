#pragma once

#include <QRect>
#include <QString>

#include <optional>

class QWidget;

// The main window's placement as "WindowPos" keeps it: ten decimal numbers,
// "flags,show,minX,minY,maxX,maxY,left,top,right,bottom". Show codes are
// 1 normal, 2 minimised, 3 maximised; flag 2 restores a minimised window to
// maximised. The rectangle is the normal one, right and bottom exclusive.
struct WindowPlacement {
    static constexpr unsigned kRestoreToMaximized = 2;
    static constexpr unsigned kShowNormal = 1;
    static constexpr unsigned kShowMinimized = 2;
    static constexpr unsigned kShowMaximized = 3;

    unsigned flags = 0;
    unsigned showCmd = kShowNormal;
    int minX = -1, minY = -1, maxX = -1, maxY = -1;
    int left = 0, top = 0, right = 0, bottom = 0;

    QString toText() const;
    // Nothing unless text is exactly ten comma-separated integers.
    static std::optional<WindowPlacement> fromText(const QString& text);
    // Where window stands now, and whether it is maximised or minimised.
    static WindowPlacement of(const QWidget& window);
    // Sets window's normal geometry and shows it in showCmd's state.
    void applyTo(QWidget& window) const;
};

// Where a window's inside may stand on a screen whose area, less its panels,
// is available: room left for the window's frame around it.
QRect windowRoom(const QRect& available);
// wanted made no larger than room and moved into it, so that a window sized
// for a larger screen, or at another scale factor, shows whole.
QRect fitInside(const QRect& wanted, const QRect& room);

// Shows window normal, minimised or maximised by its show code; flags as above.
void showWindowAs(QWidget& window, unsigned showCmd, unsigned flags = 0);
