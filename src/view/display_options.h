#pragma once

#include "view/drawing_tools.h"

#include <array>
#include <cstdint>

class CZolvaDoc;

// Spacing mode bits: exactly one of FixedNotes and VariableNotes is set.
namespace Spacing {
inline constexpr int FixedMeasures = 1;
inline constexpr int FixedNotes = 2;
inline constexpr int VariableNotes = 4;
} // namespace Spacing

// Sizes in device pixels, already multiplied by the effective scale.
struct LayoutMetrics {
    int laneOrigin = 90;      // x of the left edge of tine 0
    int leftGutter = 50;
    int stemReach = 40;       // stems, flags and tuplet brackets sit here
    int rightMargin = 40;
    int tineGap = 0;          // extra space between lanes
    int vStep = 5;            // per-tine lengthening of V-shaped lanes
    int centreLineWidth = 4;
    int thinLine = 2;
    int thickLine = 4;
    int dotSize = 4;
    int fermataHeight = 20;
    int bottomMargin = 40;
    int topMargin = 50;
    int tineWidth = 20;       // always at least 1, so lanes never collapse
    int repeatDot = 5;
    int noteSize = 10;
    int noteSpacing = 20;
    int barHeight = 16;
    int measureSpacing = 400;
    int beamWidth = 2;
};

// What a view draws with, resolved from the document's options. A default
// object is the state of a new view: scale 1, sharps, the default switches.
struct DisplayOptions {
    static constexpr int kMaxTines = 100;

    bool barNumbers = false;
    bool lyrics = true;
    bool vTines = false;
    bool centreLine = false;
    bool tineLabels = true;
    bool drawFirstBar = true;
    bool flats = false;                     // which note-name table labels the tines
    int spacing = Spacing::FixedNotes;
    int tailsStyle = 3;                     // 1 modern, 2 minimal, 3 tailed
    double scale = 1.0;                     // the effective scale
    std::array<int32_t, kMaxTines> tineKeys{}; // MIDI key of tine 1, tine 2 …
    LayoutMetrics metrics;
    DrawingTools tools = makeDrawingTools(1.0, colorFromRef(255), 90);

    // The note name under lane tine (0-based); "" outside the table.
    const char* tineLabel(int tine) const;
};

// Reads the tine settings, the screen options and the options element of doc
// into a fresh set of options. Absent attributes take their defaults; a scale
// that reads as 0 or negative is 1; the effective scale is that scale times
// zoomPercent / 100, at most kMaxScale; a "TineWidth" of 0 or less keeps the
// style's width.
DisplayOptions ResolveDisplayOptions(const CZolvaDoc& doc, int zoomPercent = 100);
// The same from the print options element, for sheets on paper: no zoom.
DisplayOptions ResolvePrintOptions(const CZolvaDoc& doc);

// Limits that keep absurd option values from overflowing the layout.
inline constexpr double kMaxScale = 100.0;
inline constexpr int kMaxMetric = 1'000'000;
