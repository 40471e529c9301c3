#pragma once

#include "view/band_index.h"
#include "view/display_options.h"
#include "view/event_facts.h"
#include "view/event_placement.h"
#include "view/lyric_width.h"

#include <QSize>

#include <cstdint>
#include <optional>

class CZolvaDoc;
class QPaintDevice;
class XPxmlNode;
struct ViewCursor;

// The layout of one view of a music document: its display options, the
// placement of every element (kept in the tree as "~Pos"), the document size
// and the mapping between positions and window coordinates. No widget: the
// view widget owns one, calls it and tells it where it is scrolled.
class ViewLayout {
public:
    // Scroll steps of the view, in pixels.
    static constexpr int kLineStepX = 10;
    static constexpr int kLineStepY = 20;

    enum class Coordinates { Window, Document };
    struct Band {
        int64_t top = 0; // y of the band's top edge
        int64_t height = 0;
    };

    // The document laid out; null until the view has one.
    void setDocument(CZolvaDoc* doc) { m_doc = doc; }
    CZolvaDoc* document() const { return m_doc; }
    const DisplayOptions& options() const { return m_options; }

    // Reads the display options anew from the document, at the zoom.
    void ResolveDisplayOptions();
    // Lays out with the print options from now on, for a sheet on paper.
    void usePrintOptions() { m_print = true; }
    // The view's zoom in percent: it multiplies the file's scale. Takes
    // effect at the next layout.
    void setZoom(int percent) { m_zoom = percent; }
    int zoom() const { return m_zoom; }
    // Whether the document's positions are the ones this layout would make:
    // another view at another zoom may have laid it out since.
    bool positionsCurrent() const;
    // Bar timing of the document's music from the measure of start on.
    void CheckBarTiming(XPxmlNode* start, ViewCursor& cursor);
    // Options, heights, positions and the document size, all anew. device
    // measures the lyrics (null: the screen).
    void RefreshLayout(QPaintDevice* device = nullptr);
    // CheckBarTiming, then RefreshLayout, reading the music only once: what
    // the view does whenever its document changes.
    void CheckAndRefresh(XPxmlNode* start, ViewCursor& cursor, QPaintDevice* device = nullptr);
    // The document size: the last computed one unless force or none yet,
    // else computed around the bands as last laid out, margins included.
    QSize ComputeExtent(bool force, QPaintDevice* device = nullptr);

    // Where the view is scrolled to and how tall its window is.
    void setViewport(int scrollY, int clientHeight);
    int scrollY() const { return m_scrollY; }
    int clientHeight() const { return m_clientHeight; }

    // The band of element: its top in window (scrolled) or document
    // coordinates, and its height; 0 and 0 for a null element.
    Band EventBand(const XPxmlNode* element, Coordinates in = Coordinates::Window) const;
    // x of the left edge of lane tine (0-based).
    int TineX(int tine) const;
    // Whether any of element's band shows in the window; false for null.
    bool IsPartlyVisible(const XPxmlNode* element) const;
    // The rows every band lies in, as last laid out: from the highest top
    // down to the lowest bottom, whichever elements those are.
    Band allBands(Coordinates in = Coordinates::Window) const;
    // Whether, as last laid out, each element's band starts and ends at or
    // above the one before it, so that list order is the order on the page.
    bool inOrder() const { return m_inOrder; }
    // Where the bands lie as last laid out, for searches by row in any order.
    const BandIndex& bands() const { return m_bands; }

    // Document y of position 0: the top margin above the highest band (in
    // order, the last element's), so that nothing lies above the document.
    int64_t verticalOrigin() const { return m_verticalOrigin; }
    // The lowest and the highest document y that hit testing accepts: the
    // top margin, and the document height less the bottom margin.
    int lowestHitY() const { return m_lowestHitY; }
    int64_t highestHitY() const { return m_highestHitY; }

private:
    // The lyrics' measure when lyrics are drawn (they widen the document).
    std::optional<LyricWidths> lyricMeasure(QPaintDevice* device) const;
    void layOutEvents();
    // The document size from the reach of the bands and the widest lyric.
    QSize extentOf(int lyricWidth);

    CZolvaDoc* m_doc = nullptr;
    DisplayOptions m_options;
    // The music as last read; emptied after each use, its storage kept.
    EventTable m_events;
    std::optional<QSize> m_extent;
    BandReach m_reach;
    BandIndex m_bands;
    int64_t m_verticalOrigin = 0;
    int m_lowestHitY = 0;
    int64_t m_highestHitY = 0;
    bool m_inOrder = true;
    int m_scrollY = 0;
    int m_clientHeight = 0;
    int m_zoom = 100;
    bool m_print = false;
};
