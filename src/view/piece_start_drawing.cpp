#include "view/piece_start_drawing.h"

#include "doc/zolva_doc.h"
#include "view/view_cursor.h"

#include <algorithm>

PieceStartDrawing::PieceStartDrawing(CZolvaDoc& doc, int zoom)
{
    m_layout.setDocument(&doc);
    m_layout.setZoom(zoom);
    ViewCursor cursor;
    m_layout.CheckAndRefresh(doc.firstEvent(), cursor);
    m_extent = m_layout.ComputeExtent(true);
}

QImage PieceStartDrawing::draw(int rows, int width, const CursorMarks& marks, double ratio)
{
    const int shown = std::clamp(rows, 1, std::max(1, m_extent.height()));
    m_layout.setViewport(m_extent.height() - shown, shown);
    QImage frame;
    if (!m_painter.OnDraw(frame, m_layout, QSize(width, shown), marks, ratio))
        return {};
    return frame;
}
