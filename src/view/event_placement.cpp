#include "view/event_placement.h"

#include "doc/music_vocabulary.h"
#include "view/measure_beats.h"
#include "view/number_text.h"
#include "view/position_text.h"
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

void writePosition(EventFacts& event)
{
    if (event.hasPosition && event.writtenPosition == event.position && event.writtenHeight == event.height)
        return;
    event.node->setAttribute(MusicAttr::Pos, formatPosition(event.position, event.height).text);
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

void MeasureEvents(EventTable& events, const LayoutMetrics& metrics)
{
    const long opening = firstElementIndex(events);
    for (size_t i = 0; i < events.size(); ++i) {
        EventFacts& event = events[i];
        if (event.kind == EventKind::Note)
            event.height = noteHeight(event.dots, metrics);
        else if (event.kind == EventKind::Bar)
            event.height = barHeight(event, long(i) == opening, metrics);
    }
}

void PlaceEvents(EventTable& events, const DisplayOptions& options)
{
    const LayoutMetrics& m = options.metrics;
    const bool fixedMeasures = options.spacing & Spacing::FixedMeasures;
    const bool variableNotes = options.spacing & Spacing::VariableNotes;
    const EventFacts* prev = nullptr;
    const EventFacts* bar = nullptr; // the current bar
    TimeSignature signature;         // … and its time signature
    double beat = 0.0;               // beats into the current measure

    for (EventFacts& e : events) {
        if (!e.isElement())
            continue;
        if (!fixedMeasures) {
            int64_t base = 0;
            int64_t gap = 0;
            if (prev) {
                base = prev->position;
                if (prev->kind != EventKind::Bar)
                    gap = noteGap(prev->value, m.noteSpacing, variableNotes);
            }
            e.position = base + gap + e.height;
        } else if (e.kind == EventKind::Bar) {
            e.position = (bar ? bar->position + m.measureSpacing : 0) + e.height;
            beat = 0.0;
        } else if (!variableNotes) {
            e.position = (prev ? prev->position : 0) + m.noteSpacing + e.height;
        } else {
            const double offset = std::trunc(double(m.measureSpacing) / double(signature.beats) * beat);
            e.position = int64_t(std::clamp(offset, -kMaxPosition, kMaxPosition)) + e.height +
                         (bar ? bar->position : 0);
            beat += MeasureBeats(signature.unit, e.valueNumber, e.dots, e.tuplet != 0);
        }
        if (e.kind == EventKind::Bar) {
            bar = &e;
            signature = {e.beats, e.unit};
        }
        prev = &e;
        writePosition(e);
    }
}
