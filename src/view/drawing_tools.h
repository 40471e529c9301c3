#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPen>

// The pens, brushes and font a view draws with, made for one scale.
struct DrawingTools {
    QPen outlinePen;
    QPen doublePen;
    QPen whitePen;
    QPen framePen;
    QBrush whiteBrush;
    QBrush blackBrush;
    QBrush laneBrush;
    QBrush shadeBrush;
    QBrush frameBrush;
    QBrush cursorCellBrush;
    QBrush playingBrush; // what marks the music being played
    QFont labelFont;
    int labelTenths = 90; // the label font's size in tenths of a point
};

// A colour stored as 0x00BBGGRR; the top byte is ignored.
QColor colorFromRef(uint32_t bgr);

// Pens of trunc(scale) and trunc(2 × scale) pixels (0 draws one pixel), the
// fixed brushes, the shade brush in shade, and "Arial" at labelTenths tenths
// of a point.
DrawingTools makeDrawingTools(double scale, QColor shade, int labelTenths);
