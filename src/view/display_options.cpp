#include "view/display_options.h"

#include "doc/music_vocabulary.h"
#include "doc/zolva_doc.h"
#include "view/note_names.h"
#include "doc/number_text.h"
#include "xml/xpxml_node.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace {

constexpr uint32_t kDefaultShade = 255; // pure red
constexpr int kLabelTenths = 90;        // 9 points at scale 1
constexpr int kModernNoteSize = 20;
constexpr int kNoteSize = 10;

// The attribute's leading integer, or fallback when it is absent.
long numberOr(const XPxmlNode* element, const char* name, long fallback)
{
    const char* text = xpxmlAttributeOf(element, name);
    return text ? xpxmlLeadingInteger(text) : fallback;
}

bool switchOn(const XPxmlNode* element, const char* name, int fallback)
{
    return numberOr(element, name, fallback) != 0;
}

bool textIs(const char* text, const char* keyword)
{
    return text && xpxmlNameEquals(text, keyword);
}

double fileScale(const XPxmlNode* screen)
{
    const char* text = xpxmlAttributeOf(screen, MusicAttr::Scale);
    if (!text)
        return 1.0;
    const double scale = leadingReal(text);
    return scale > 0.0 ? scale : 1.0;
}

double effectiveScale(const XPxmlNode* screen, int zoomPercent)
{
    double scale = fileScale(screen);
    if (zoomPercent != 100 && zoomPercent > 0)
        scale = scale * zoomPercent / 100.0;
    return std::min(scale, kMaxScale);
}

// trunc(base × scale), kept within ±kMaxMetric so sums of metrics stay exact.
int scaled(long base, double scale)
{
    const double value = std::trunc(double(base) * scale);
    return int(std::clamp(value, double(-kMaxMetric), double(kMaxMetric)));
}

void scaleMetrics(LayoutMetrics& m, double scale)
{
    for (int* metric : {&m.laneOrigin, &m.leftGutter, &m.stemReach, &m.rightMargin, &m.tineGap, &m.vStep,
                        &m.centreLineWidth, &m.thinLine, &m.thickLine, &m.dotSize, &m.fermataHeight,
                        &m.bottomMargin, &m.topMargin, &m.tineWidth, &m.repeatDot, &m.noteSize,
                        &m.noteSpacing, &m.barHeight, &m.measureSpacing, &m.beamWidth})
        *metric = scaled(*metric, scale);
    m.beamWidth = std::max(m.beamWidth, 1);
    // Hit testing divides by tine width + tine gap: a tiny scale must not make it 0.
    m.tineWidth = std::max(m.tineWidth, 1);
}

} // namespace

const char* DisplayOptions::tineLabel(int tine) const
{
    if (tine < 0 || tine >= kMaxTines)
        return "";
    return noteName(tineKeys[size_t(tine)], flats);
}

namespace {

// screen is the screen's or the print's options element.
DisplayOptions resolveFrom(const CZolvaDoc& doc, const XPxmlNode* screen, int tailsStyle, int zoomPercent)
{
    const XPxmlNode* tines = doc.tineSettings();
    const XPxmlNode* options = doc.optionsElement();
    DisplayOptions o;
    o.tailsStyle = tailsStyle;

    const char* sharps = xpxmlAttributeOf(tines, MusicAttr::Sharps);
    o.flats = sharps && !textIs(sharps, MusicValue::Sharps);

    o.barNumbers = switchOn(options, MusicAttr::BarNumbers, MusicDefault::BarNumbers);
    o.lyrics = switchOn(options, MusicAttr::Lyrics, MusicDefault::Lyrics);
    o.vTines = switchOn(options, MusicAttr::VTines, MusicDefault::VTines);
    o.centreLine = switchOn(options, MusicAttr::CenterLine, MusicDefault::CenterLine);
    o.tineLabels = switchOn(options, MusicAttr::TineLabels, MusicDefault::TineLabels);

    ParseNumberList(xpxmlAttributeOf(tines, MusicAttr::NoteValues), o.tineKeys.data(), DisplayOptions::kMaxTines);

    LayoutMetrics& m = o.metrics; // the base values
    if (o.vTines)
        m.bottomMargin *= 2;
    const char* firstBar = xpxmlAttributeOf(screen, MusicAttr::DrawFirstBar);
    o.drawFirstBar = !(firstBar && std::toupper(static_cast<unsigned char>(firstBar[0])) == MusicValue::No);

    const uint32_t shade = uint32_t(numberOr(tines, MusicAttr::ShadeColor, kDefaultShade));

    const bool modern = tailsStyle == 1;
    m.noteSize = modern ? kModernNoteSize : kNoteSize;
    m.tineWidth = modern ? MusicDefault::TineWidthModern : MusicDefault::TineWidth;
    const long tineWidth = numberOr(screen, MusicAttr::TineWidth, 0);
    if (tineWidth > 0)
        m.tineWidth = int(tineWidth);
    m.laneOrigin = m.leftGutter + m.stemReach;

    o.spacing = textIs(xpxmlAttributeOf(screen, MusicAttr::NoteSpacing), MusicValue::Variable) ? Spacing::VariableNotes
                                                                                         : Spacing::FixedNotes;
    m.noteSpacing = int(numberOr(screen, MusicAttr::NoteSpacingSize, m.noteSpacing));
    if (textIs(xpxmlAttributeOf(screen, MusicAttr::MeasureSpacing), MusicValue::Fixed))
        o.spacing |= Spacing::FixedMeasures;
    m.measureSpacing = int(numberOr(screen, MusicAttr::MeasureSpacingSize, m.measureSpacing));

    o.scale = effectiveScale(screen, zoomPercent);
    scaleMetrics(m, o.scale);
    const int labelTenths = std::max(1, int(std::trunc(kLabelTenths * o.scale)));
    o.tools = makeDrawingTools(o.scale, colorFromRef(shade), labelTenths);
    return o;
}

} // namespace

DisplayOptions ResolveDisplayOptions(const CZolvaDoc& doc, int zoomPercent)
{
    return resolveFrom(doc, doc.screenOptions(), doc.tailsStyle(), zoomPercent);
}

DisplayOptions ResolvePrintOptions(const CZolvaDoc& doc)
{
    return resolveFrom(doc, doc.printOptions(), tailsStyleOf(doc.printOptions()), 100);
}
