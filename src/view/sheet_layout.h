#pragma once

#include "view/view_layout.h"

#include <QLocale>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QRect>
#include <QString>

#include <cstdint>
#include <vector>

class CZolvaDoc;
class XPxmlNode;

// How the pages of a sheet are set up.
struct SheetPageSetup {
    QPageSize paper = QPageSize(QPageSize::A4);
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF marginsMm{12, 12, 12, 12};
    int columns = 3;  // strips side by side on a page: they fill its width
    bool header = true;
    int dpi = 300;    // device pixels per inch of what is drawn
};

// Letter where the locale's country writes on it, A4 elsewhere.
QPageSize defaultPaper(const QLocale& locale);
// Whether the file's print options ask for the header (on when they do not say).
bool defaultHeader(const CZolvaDoc& doc);

// One strip of tablature: a stretch of the note list, read bottom to top.
struct SheetStrip {
    XPxmlNode* first = nullptr; // the elements drawn, in list order
    XPxmlNode* last = nullptr;
    long firstBar = 1;          // the number of the first bar drawn
    bool opening = false;       // first is the first element of the list
    int64_t laneTop = 0;        // document rows the elements' bands cover
    int64_t laneBottom = 0;
    int64_t top = 0;            // … with room above for marks and below for the tine names
    int64_t bottom = 0;
};

struct SheetPage {
    std::vector<SheetStrip> strips; // left to right
};

// The document laid out with its print options and cut into strips at bar
// lines, the strips set side by side on pages. Device pixels are those of
// setup.dpi; the layout's own pixels are ratio() device pixels each.
class SheetLayout {
public:
    SheetLayout(CZolvaDoc& doc, const SheetPageSetup& setup);

    const SheetPageSetup& setup() const { return m_setup; }
    CZolvaDoc& document() const { return m_doc; }
    ViewLayout& layout() { return m_layout; }
    const std::vector<SheetPage>& pages() const { return m_pages; }
    double ratio() const { return m_ratio; }
    QSize pageSize() const { return m_page; }
    // Where the strips, header and footer of a page stand, in device pixels.
    QRect stripRect(int page, int column) const;
    QRect headerRect() const;
    QRect footerRect() const;

    // The header's lines: title, author, tuning and first tempo.
    QString title() const { return m_title; }
    QString author() const { return m_author; }
    QString tuning() const { return m_tuning; }
    QString tempo() const { return m_tempo; }
    // "N / M" for page index (0-based).
    QString footer(int page) const;
    // Font sizes in device pixels.
    int titlePixels() const { return points(16); }
    int textPixels() const { return points(10); }

private:
    int points(double pt) const { return int(pt * m_setup.dpi / 72.0 + 0.5); }
    void readHeader();
    void cutStrips();
    int64_t heightLimit(size_t stripIndex) const;

    CZolvaDoc& m_doc;
    SheetPageSetup m_setup;
    ViewLayout m_layout;
    QSize m_page;
    QRect m_content;    // inside the margins, footer excluded
    int m_headerHeight = 0;
    int m_stripWidth = 1; // layout pixels
    double m_ratio = 1.0;
    std::vector<SheetPage> m_pages;
    QString m_title, m_author, m_tuning, m_tempo;
};
