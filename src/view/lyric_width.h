#pragma once

#include "view/event_facts.h"

#include <QFontMetrics>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class QFont;
class QPaintDevice;

// Widths of lyrics in one font, for one device (the screen when null).
// Songs repeat their words and measuring text is slow, so each distinct text
// is measured once and found again through a small open-addressed table.
class LyricWidths {
public:
    LyricWidths(const QFont& font, const QPaintDevice* device);
    // The width of text as the user sees it; 0 when empty.
    int widthOf(std::string_view text);

private:
    struct Slot {
        std::string text; // a copy: elements may go while the widths are kept
        int width = 0;
        bool used = false;
    };
    size_t mask() const { return m_slots.size() - 1; }
    void grow();

    QFontMetrics m_metrics;
    std::vector<Slot> m_slots;
    size_t m_used = 0;
};

// The widest lyric among the elements of events, as measured when read.
int widestLyric(const EventTable& events);
