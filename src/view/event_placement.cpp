#include "view/event_placement.h"

#include "doc/music_vocabulary.h"
#include "doc/measure_beats.h"
#include "doc/number_text.h"
#include "view/position_text.h"
#include "xml/xpxml_name_set.h"
#include "xml/xpxml_node.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Far beyond any real music; keeps the double-to-integer conversion defined.
constexpr double kMaxPosition = 1.0e15;

int noteHeight(int dots, const LayoutMetrics& m)
{
    return m.noteSize + dots * int(std::trunc(1.5 * m.dotSize));
}

int barHeight(const EventFacts& bar, bool opening, const LayoutMetrics& m)
{
    int height = opening ? m.barHeight / 2 : m.barHeight;
    if (bar.modifier)
        height += m.barHeight / 2 + 4 * m.repeatDot + m.thinLine;
    if (bar.bothRepeat)
        height += m.barHeight / 2 + 2 * m.repeatDot + m.thinLine;
    return height;
}

const XPxmlNameSet& positionName()
{
    static const XPxmlNameSet name{MusicAttr::Pos};
    return name;
}

void writePosition(EventFacts& event)
{
    if (event.hasPosition && event.writtenPosition == event.position && event.writtenHeight == event.height)
        return;
    event.node->setAttribute(positionName(), 0, formatPosition(event.position, event.height).view());
    event.hasPosition = true;
    event.writtenPosition = event.position;
    event.writtenHeight = event.height;
}

} // namespace

int64_t noteGap(const char* value, int spacing, bool variable)
{
    if (!variable)
        return spacing;
    double v = leadingReal(value);
    if (!(v >= 1.0))
        v = 4.0;
    if (v >= 8.0)
        return int64_t(std::trunc(spacing * 0.125));
    return int64_t(std::trunc(spacing / v));
}

void EventMeasure::measure(EventFacts& event)
{
    if (event.kind == EventKind::Note)
        event.height = noteHeight(event.dots, m_metrics);
    else if (event.kind == EventKind::Bar)
        event.height = barHeight(event, m_opening, m_metrics);
    if (event.isElement())
        m_opening = false;
}

EventPlacer::EventPlacer(const DisplayOptions& options)
    : m_metrics(options.metrics),
      m_fixedMeasures(options.spacing & Spacing::FixedMeasures),
      m_variableNotes(options.spacing & Spacing::VariableNotes)
{
}

void EventPlacer::place(EventFacts& e)
{
    if (!e.isElement())
        return;
    const LayoutMetrics& m = m_metrics;
    if (!m_fixedMeasures) {
        int64_t base = 0;
        int64_t gap = 0;
        if (m_prev) {
            base = m_prev->position;
            if (m_prev->kind != EventKind::Bar)
                gap = noteGap(m_prev->value, m.noteSpacing, m_variableNotes);
        }
        e.position = base + gap + e.height;
    } else if (e.kind == EventKind::Bar) {
        e.position = (m_bar ? m_bar->position + m.measureSpacing : 0) + e.height;
        m_beat = 0.0;
    } else if (!m_variableNotes) {
        e.position = (m_prev ? m_prev->position : 0) + m.noteSpacing + e.height;
    } else {
        const double offset = std::trunc(double(m.measureSpacing) / double(m_signature.beats) * m_beat);
        e.position = int64_t(std::clamp(offset, -kMaxPosition, kMaxPosition)) + e.height +
                     (m_bar ? m_bar->position : 0);
        m_beat += MeasureBeats(m_signature.unit, e.valueNumber, e.dots, e.tuplet != 0);
    }
    // Fixed measures place a bar whatever its measure holds, and sizes may
    // be negative: a band can then lie below the one before it.
    if (m_prev && (e.position < m_prev->position || e.position - e.height < m_prev->position - m_prev->height))
        m_inOrder = false;
    if (!m_prev)
        m_reach = {e.position, e.position - e.height};
    m_reach.top = std::max(m_reach.top, e.position);
    m_reach.bottom = std::min(m_reach.bottom, e.position - e.height);
    if (e.kind == EventKind::Bar) {
        m_bar = &e;
        m_signature = {e.beats, e.unit};
    }
    m_prev = &e;
    writePosition(e);
}

void MeasureEvents(EventTable& events, const LayoutMetrics& metrics)
{
    EventMeasure measure(metrics);
    for (EventFacts& event : events)
        measure.measure(event);
}

void PlaceEvents(EventTable& events, const DisplayOptions& options)
{
    EventPlacer placer(options);
    for (EventFacts& event : events)
        placer.place(event);
}
