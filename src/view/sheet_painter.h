#pragma once

class QPainter;
class SheetLayout;

// Draws page (0-based) of sheet with painter, whose device is one page in
// the sheet's device pixels: the strips side by side, each with its tine
// names under it, the header on the first page and the page number below.
// Text goes through QPainter::drawText, so a PDF keeps it as text. With finer
// above 1 the painter is scaled up by it, and the tablature drawn with as
// many more device pixels (an image drawn large, to be shrunk smoothly).
void paintSheetPage(QPainter& painter, SheetLayout& sheet, int page, int finer = 1);
