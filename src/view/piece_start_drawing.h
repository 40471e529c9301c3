#pragma once

#include "view/tablature_painter.h"
#include "view/view_layout.h"

#include <QImage>
#include <QSize>

class CZolvaDoc;

// A piece laid out as a view that opens it does, for drawing its start, the
// bottom rows of the tablature, without a window: thumbnails and the
// manual's pictures.
class PieceStartDrawing {
public:
    // Lays doc out at zoom percent: bars timed, every element placed.
    explicit PieceStartDrawing(CZolvaDoc& doc, int zoom = 100);

    // The whole piece in layout pixels, lyrics and margins included.
    QSize extent() const { return m_extent; }
    ViewLayout& layout() { return m_layout; }

    // The bottom rows of the piece (all of them when it has fewer), width
    // layout pixels wide (at least the piece's width), at ratio device
    // pixels per layout pixel: the tine names, the first notes and the lanes
    // as a window scrolled to the start shows them. Null when there is
    // nothing to draw on.
    QImage draw(int rows, int width, const CursorMarks& marks = {}, double ratio = 1.0);

private:
    ViewLayout m_layout;
    QSize m_extent;
    TablaturePainter m_painter;
};
