#include "view/lyric_width.h"

#include "doc/eight_bit_text.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr size_t kFirstSlots = 64;

size_t hashOf(std::string_view text)
{
    uint64_t h = 14695981039346656037ull; // FNV-1a
    for (const char c : text)
        h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return size_t(h ^ (h >> 32));
}

QFontMetrics metricsFor(const QFont& font, const QPaintDevice* device)
{
    return device ? QFontMetrics(font, device) : QFontMetrics(font);
}

} // namespace

LyricWidths::LyricWidths(const QFont& font, const QPaintDevice* device)
    : m_metrics(metricsFor(font, device)), m_slots(kFirstSlots)
{
}

int LyricWidths::widthOf(std::string_view text)
{
    if (text.empty())
        return 0;
    for (size_t i = hashOf(text) & mask();; i = (i + 1) & mask()) {
        Slot& slot = m_slots[i];
        if (!slot.used) {
            const int width = m_metrics.horizontalAdvance(textFromBytes(text));
            slot = {std::string(text), width, true};
            if (++m_used * 2 > m_slots.size())
                grow(); // keeps probes short; slot is not used after this
            return width;
        }
        if (slot.text == text)
            return slot.width;
    }
}

void LyricWidths::grow()
{
    std::vector<Slot> old(m_slots.size() * 2);
    old.swap(m_slots);
    for (Slot& slot : old) {
        if (!slot.used)
            continue;
        size_t i = hashOf(slot.text) & mask();
        while (m_slots[i].used)
            i = (i + 1) & mask();
        m_slots[i] = std::move(slot);
    }
}

int widestLyric(const EventTable& events)
{
    int widest = 0;
    for (const EventFacts& event : events)
        widest = std::max(widest, event.lyricWidth);
    return widest;
}
