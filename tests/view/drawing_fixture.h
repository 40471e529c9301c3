#pragma once

#include "music_fixture.h"
#include "view/tablature_painter.h"

#include <QImage>

#include <cstdint>
#include <string>

// Music drawn as a view of the given client size would paint it, scrolled
// to scrollY: the frame to probe and the layout to compute where to look.
struct Drawing {
    explicit Drawing(const std::string& notes, const Music::Config& config = Music::Config(), int scrollY = 0,
                     QSize client = QSize(400, 500));
    // Paints again, with the cursor given, ratio device pixels to a layout pixel.
    void paint(const CursorMarks& marks = CursorMarks(), double ratio = 1.0);

    // The colour at device pixel x, y as 0x00BBGGRR, the way the tints are written.
    uint32_t at(int x, int y) const;
    // The band of the element at index, in frame rows.
    ViewLayout::Band band(int index) const { return music.layout.EventBand(music.at(index)); }
    int tineX(int tine) const { return music.layout.TineX(tine); }
    const LayoutMetrics& metrics() const { return music.layout.options().metrics; }
    // Whether any pixel of the rectangle is darker than mid grey.
    bool hasInk(int left, int top, int right, int bottom) const;

    Music music;
    QSize client;
    TablaturePainter painter;
    QImage frame;
};

// Configurations used across the drawing tests.
Music::Config withOptions(const std::string& tines, const std::string& screen, const std::string& options);

inline constexpr uint32_t kLaneGrey = 0xC8C8C8;
inline constexpr uint32_t kWhite = 0xFFFFFF;
inline constexpr uint32_t kBlack = 0x000000;
