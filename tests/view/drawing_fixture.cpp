#include "drawing_fixture.h"

#include <QColor>

Drawing::Drawing(const std::string& notes, const Music::Config& config, int scrollY, QSize client)
    : music(notes, config), client(client)
{
    music.layout.RefreshLayout();
    music.layout.setViewport(scrollY, client.height());
    paint();
}

void Drawing::paint(const CursorMarks& marks, double ratio)
{
    painter.OnDraw(frame, music.layout, client, marks, ratio);
}

uint32_t Drawing::at(int x, int y) const
{
    const QRgb rgb = frame.pixel(x, y);
    return uint32_t(qRed(rgb)) | uint32_t(qGreen(rgb)) << 8 | uint32_t(qBlue(rgb)) << 16;
}

bool Drawing::hasInk(int left, int top, int right, int bottom) const
{
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (qGray(frame.pixel(x, y)) < 100)
                return true;
    return false;
}

Music::Config withOptions(const std::string& tines, const std::string& screen, const std::string& options)
{
    Music::Config config;
    config.tines = tines;
    config.screen = screen;
    config.options = options;
    return config;
}
