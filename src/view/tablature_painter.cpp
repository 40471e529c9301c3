#include "view/tablature_painter.h"

#include "doc/music_vocabulary.h"
#include "doc/zolva_doc.h"
#include "view/bar_drawing.h"
#include "view/cursor_drawing.h"
#include "view/event_facts.h"
#include "view/frame_canvas.h"
#include "view/lane_drawing.h"
#include "view/music_drawing.h"
#include "view/view_layout.h"
#include "view/wrong_tine_drawing.h"
#include "xml/xpxml.h"
#include "doc/number_text.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace {

// Clears the busy flag on every way out.
class BusyGuard {
public:
    explicit BusyGuard(bool& busy) : m_busy(busy) { m_busy = true; }
    ~BusyGuard() { m_busy = false; }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    bool& m_busy;
};

bool isWhollyVisible(const FrameCanvas& canvas, const XPxmlNode* element, int clientHeight)
{
    const FrameCanvas::Band band = canvas.band(element);
    return band.top >= 0 && band.bottom() <= clientHeight;
}

} // namespace

bool TablaturePainter::OnDraw(QImage& frame, ViewLayout& layout, QSize client, const CursorMarks& cursor,
                              double ratio)
{
    CZolvaDoc* doc = layout.document();
    if (m_busy || !doc || client.isEmpty())
        return false;
    BusyGuard busy(m_busy);

    if (!(ratio > 0.0))
        ratio = 1.0;
    const int width = std::max(layout.ComputeExtent(false).width(), client.width());
    const QSize size(int(std::ceil(width * ratio)), int(std::ceil(client.height() * ratio)));
    if (frame.size() != size || frame.format() != QImage::Format_RGB32)
        frame = QImage(size, QImage::Format_RGB32);
    // Painted in device pixels and marked afterwards: the canvas scales what
    // it draws itself, so that crisp edges can snap to whole device pixels.
    frame.setDevicePixelRatio(1.0);
    // Marked even when nothing is drawn on it, so that the view shows it at its size.
    struct Mark {
        QImage& frame;
        double ratio;
        ~Mark() { frame.setDevicePixelRatio(ratio); }
    } mark{frame, ratio};

    const XPxmlNode* list = doc->noteList();
    const XPxmlNode* first = doc->firstEvent();
    if (!first) {
        frame.fill(Qt::white);
        return true;
    }
    QPainter painter(&frame);
    FrameCanvas canvas(painter, layout, doc->tineCount(), client.height(), ratio, &m_sprites);
    const FrameCanvas::Band lanes = canvas.allBands();
    canvas.clearAround(lanesCover(canvas, lanes, doc->shadeText()));
    drawLanes(canvas, lanes, doc->shadeText());
    if (canvas.options.tineLabels && isWhollyVisible(canvas, first, client.height()))
        drawTineLabels(canvas, first);

    const VisibleRange range = m_range.find(layout, list);
    if (!range.start)
        return true;
    // Over what the lanes cover: the visible range's ends may lie short of
    // the window's edges, and out of order below one another.
    if (canvas.options.centreLine)
        drawCentreLine(canvas, canvas.allBands());
    drawMusic(canvas, range, *doc);
    drawCursor(canvas, cursor);
    drawWrongTines(canvas, cursor.wrongTines, client.height());
    return true;
}
