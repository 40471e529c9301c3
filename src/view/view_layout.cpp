#include "view/view_layout.h"

#include "doc/music_vocabulary.h"
#include "doc/zolva_doc.h"
#include "view/bar_timing.h"
#include "view/event_placement.h"
#include "view/lyric_width.h"
#include "view/position_text.h"
#include "xml/xpxml_node.h"

#include <algorithm>
#include <climits>
#include <string>

namespace {

int toInt(int64_t value)
{
    return int(std::clamp<int64_t>(value, INT_MIN, INT_MAX));
}

EventPosition positionOf(const XPxmlNode* element)
{
    std::string text;
    if (!element || !element->getAttributeCopy(MusicAttr::Pos, text))
        return {};
    return parsePosition(text.c_str());
}

} // namespace

void ViewLayout::ResolveDisplayOptions()
{
    if (m_doc)
        m_options = m_print ? ResolvePrintOptions(*m_doc) : ::ResolveDisplayOptions(*m_doc, m_zoom);
}

void ViewLayout::CheckBarTiming(XPxmlNode* start, ViewCursor& cursor)
{
    if (m_doc)
        ::CheckBarTiming(m_doc->noteList(), start, cursor, m_events);
    m_events.clear();
}

void ViewLayout::RefreshLayout(QPaintDevice* device)
{
    if (!m_doc)
        return;
    ResolveDisplayOptions();
    std::optional<LyricWidths> lyrics = lyricMeasure(device);
    collectEvents(m_doc->noteList(), m_events, lyrics ? &*lyrics : nullptr);
    layOutEvents();
}

void ViewLayout::CheckAndRefresh(XPxmlNode* start, ViewCursor& cursor, QPaintDevice* device)
{
    if (!m_doc)
        return;
    ResolveDisplayOptions(); // the options do not depend on the music
    std::optional<LyricWidths> lyrics = lyricMeasure(device);
    ::CheckBarTiming(m_doc->noteList(), start, cursor, m_events, lyrics ? &*lyrics : nullptr);
    layOutEvents();
}

std::optional<LyricWidths> ViewLayout::lyricMeasure(QPaintDevice* device) const
{
    if (!m_options.lyrics)
        return std::nullopt;
    return std::optional<LyricWidths>(std::in_place, m_options.tools.labelFont, device);
}

// Heights, positions, the reach of the bands and the widest lyric, in one
// walk over the music: the table is large and each walk over it costs.
void ViewLayout::layOutEvents()
{
    EventMeasure measure(m_options.metrics);
    EventPlacer placer(m_options);
    m_bands.clear(m_doc->noteList());
    int widest = 0;
    for (uint32_t child = 0; child < m_events.size(); ++child) {
        EventFacts& event = m_events[child];
        if (!event.isElement())
            continue;
        measure.measure(event);
        placer.place(event);
        m_bands.add(child, -event.position, event.height);
        widest = std::max(widest, event.lyricWidth);
    }
    m_bands.finish();
    m_doc->setPositionsScale(m_options.scale);
    m_inOrder = placer.inOrder();
    m_reach = placer.reach();
    m_extent = extentOf(widest);
    m_events.clear();
}

bool ViewLayout::positionsCurrent() const
{
    return !m_doc || m_doc->positionsScale() == m_options.scale;
}

QSize ViewLayout::ComputeExtent(bool force, QPaintDevice* device)
{
    if (m_extent && !force)
        return *m_extent;
    if (!m_doc)
        return QSize();
    std::optional<LyricWidths> lyrics = lyricMeasure(device);
    if (lyrics)
        collectEvents(m_doc->noteList(), m_events, &*lyrics);
    m_extent = extentOf(widestLyric(m_events));
    m_events.clear();
    return *m_extent;
}

QSize ViewLayout::extentOf(int lyricWidth)
{
    const LayoutMetrics& m = m_options.metrics;
    // The music starts at position 0; bands may still reach below it.
    const int64_t bottom = std::min<int64_t>(m_reach.bottom, 0);
    m_verticalOrigin = m.topMargin + m_reach.top;
    m_bands.setOrigin(m_verticalOrigin);
    m_lowestHitY = m.topMargin;
    m_highestHitY = m_verticalOrigin - bottom;
    const int64_t height = m_reach.top - bottom + m.topMargin + m.bottomMargin;
    int64_t width = int64_t(m.leftGutter) + m.stemReach + int64_t(m_doc->tineCount()) * (m.tineWidth + m.tineGap) +
                    m.rightMargin;
    if (m_options.lyrics)
        width += lyricWidth;
    return QSize(toInt(width), toInt(height));
}

void ViewLayout::setViewport(int scrollY, int clientHeight)
{
    m_scrollY = scrollY;
    m_clientHeight = clientHeight;
}

ViewLayout::Band ViewLayout::EventBand(const XPxmlNode* element, Coordinates in) const
{
    if (!element)
        return {};
    const EventPosition at = positionOf(element);
    const int64_t scroll = in == Coordinates::Window ? m_scrollY : 0;
    return {m_verticalOrigin - at.position - scroll, at.height};
}

ViewLayout::Band ViewLayout::allBands(Coordinates in) const
{
    const int64_t scroll = in == Coordinates::Window ? m_scrollY : 0;
    return {m_verticalOrigin - m_reach.top - scroll, m_reach.top - m_reach.bottom};
}

int ViewLayout::TineX(int tine) const
{
    const LayoutMetrics& m = m_options.metrics;
    return m.laneOrigin + tine * (m.tineWidth + m.tineGap);
}

bool ViewLayout::IsPartlyVisible(const XPxmlNode* element) const
{
    if (!element)
        return false;
    const Band band = EventBand(element, Coordinates::Document);
    return band.top + band.height >= m_scrollY && band.top <= int64_t(m_scrollY) + m_clientHeight;
}
