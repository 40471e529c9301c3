#include "view/sheet_layout.h"

#include "doc/eight_bit_text.h"
#include "doc/music_vocabulary.h"
#include "doc/number_text.h"
#include "doc/zolva_doc.h"
#include "view/note_names.h"
#include "view/view_cursor.h"
#include "view/visible_range.h"
#include "xml/xpxml_node.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace {

QString attributeText(const XPxmlNode* element, const char* name)
{
    std::string bytes;
    if (!element || !element->getAttributeCopy(name, bytes))
        return {};
    return textFromBytes(bytes).trimmed();
}

int toPixels(double mm, int dpi)
{
    return int(std::lround(mm / 25.4 * dpi));
}

// Rows an element's band covers, in document coordinates.
struct Span {
    int64_t top = INT64_MAX;
    int64_t bottom = INT64_MIN;
    void add(const ViewLayout::Band& b)
    {
        top = std::min(top, b.top);
        bottom = std::max(bottom, b.top + b.height);
    }
    int64_t height() const { return bottom > top ? bottom - top : 0; }
};

} // namespace

QPageSize defaultPaper(const QLocale& locale)
{
    const QLocale::Territory t = locale.territory();
    const bool letter = t == QLocale::UnitedStates || t == QLocale::Canada || t == QLocale::Mexico ||
                        t == QLocale::Chile || t == QLocale::Colombia || t == QLocale::Venezuela ||
                        t == QLocale::Philippines;
    return QPageSize(letter ? QPageSize::Letter : QPageSize::A4);
}

bool defaultHeader(const CZolvaDoc& doc)
{
    const char* text = xpxmlAttributeOf(doc.printOptions(), MusicAttr::PrintHeaders);
    return !startsWithLetter(text, 'N');
}

SheetLayout::SheetLayout(CZolvaDoc& doc, const SheetPageSetup& setup) : m_doc(doc), m_setup(setup)
{
    m_setup.columns = std::max(1, m_setup.columns);
    m_setup.dpi = std::clamp(m_setup.dpi, 36, 2400);
    const QPageLayout page(m_setup.paper, m_setup.orientation, QMarginsF());
    const QSizeF mm = page.fullRect(QPageLayout::Millimeter).size();
    m_page = QSize(toPixels(mm.width(), m_setup.dpi), toPixels(mm.height(), m_setup.dpi));
    const QMarginsF& mg = m_setup.marginsMm;
    const int footer = 2 * textPixels();
    m_content = QRect(QPoint(toPixels(mg.left(), m_setup.dpi), toPixels(mg.top(), m_setup.dpi)),
                      QPoint(m_page.width() - toPixels(mg.right(), m_setup.dpi) - 1,
                             m_page.height() - toPixels(mg.bottom(), m_setup.dpi) - footer - 1));
    if (m_setup.header)
        m_headerHeight = titlePixels() * 3 / 2 + textPixels() * 3;

    m_layout.setDocument(&doc);
    m_layout.usePrintOptions();
    ViewCursor cursor;
    m_layout.CheckAndRefresh(doc.firstEvent(), cursor);
    // The screen's views lay the document out again with their own options.
    doc.setPositionsScale(0.0);
    m_stripWidth = std::max(1, m_layout.ComputeExtent(false).width());
    m_ratio = double(std::max(1, m_content.width() / m_setup.columns)) / m_stripWidth;
    readHeader();
    cutStrips();
}

void SheetLayout::readHeader()
{
    m_title = attributeText(m_doc.authorElement(), MusicAttr::Title);
    if (m_title.isEmpty())
        m_title = QFileInfo(m_doc.pathName()).completeBaseName();
    m_author = attributeText(m_doc.authorElement(), MusicAttr::Author);

    const DisplayOptions& o = m_layout.options();
    std::vector<int32_t> keys(o.tineKeys.begin(), o.tineKeys.begin() + std::min(m_doc.tineCount(), o.kMaxTines));
    std::sort(keys.begin(), keys.end());
    QStringList names;
    for (int32_t key : keys)
        names << QString::fromLatin1(noteName(key, o.flats)) + QString::number(key / 12 - 1);
    m_tuning = names.join(QLatin1Char(' '));

    for (XPxmlNode* e = m_doc.firstEvent(); e; e = e->nextElementSibling()) {
        if (const char* tempo = e->getAttribute(MusicAttr::Tempo)) {
            m_tempo = QString::fromLatin1(tempo).trimmed();
            break;
        }
    }
}

int64_t SheetLayout::heightLimit(size_t stripIndex) const
{
    const bool first = stripIndex < size_t(m_setup.columns);
    const int rows = m_content.height() - (first ? m_headerHeight : 0);
    return std::max<int64_t>(1, int64_t(rows / m_ratio));
}

QRect SheetLayout::stripRect(int page, int column) const
{
    const int width = m_content.width() / m_setup.columns;
    const int top = m_content.top() + (page == 0 ? m_headerHeight : 0);
    return QRect(m_content.left() + column * width, top, width, m_content.bottom() + 1 - top);
}

QRect SheetLayout::headerRect() const
{
    return QRect(m_content.left(), m_content.top(), m_content.width(), m_headerHeight);
}

QRect SheetLayout::footerRect() const
{
    return QRect(m_content.left(), m_content.bottom() + 1, m_content.width(), 2 * textPixels());
}

QString SheetLayout::footer(int page) const
{
    return QStringLiteral("%1 / %2").arg(page + 1).arg(m_pages.size());
}

// Strips end at bar lines: each takes whole measures, from a bar up to the
// bar that closes the last of them (drawn again at the next strip's foot),
// while they fit the page. A measure taller than the page is cut between
// its elements.
void SheetLayout::cutStrips()
{
    const LayoutMetrics& m = m_layout.options().metrics;
    const int64_t pads = int64_t(m.topMargin) + m.bottomMargin;
    const auto band = [&](const XPxmlNode* e) { return m_layout.EventBand(e, ViewLayout::Coordinates::Document); };

    std::vector<SheetStrip> strips;
    long barsBefore = 0;
    XPxmlNode* e = m_doc.firstEvent();
    while (e) {
        SheetStrip strip;
        strip.first = e;
        strip.opening = e == m_doc.firstEvent();
        strip.firstBar = barsBefore + 1;
        const int64_t limit = heightLimit(strips.size()) - pads;
        Span span;
        span.add(band(e));
        XPxmlNode* last = e;
        XPxmlNode* lastBar = nullptr;
        Span atLastBar;
        long barsInStrip = isBar(e) ? 1 : 0;
        long barsAtLastBar = 0;
        for (XPxmlNode* next = e->nextElementSibling(); next; next = next->nextElementSibling()) {
            Span grown = span;
            grown.add(band(next));
            if (grown.height() > limit)
                break;
            span = grown;
            last = next;
            if (isBar(next)) {
                lastBar = next;
                atLastBar = span;
                barsAtLastBar = barsInStrip;
                ++barsInStrip;
            }
        }
        const bool atEnd = !last->nextElementSibling();
        if (!atEnd && lastBar) {
            // Back to the last bar line that fits: the next strip starts there.
            last = lastBar;
            span = atLastBar;
            barsInStrip = barsAtLastBar;
        }
        strip.last = last;
        strip.laneTop = span.top;
        strip.laneBottom = span.bottom;
        strip.top = span.top - m.topMargin;
        strip.bottom = span.bottom + m.bottomMargin;
        strips.push_back(strip);
        barsBefore += barsInStrip;
        // A strip that ends on a bar line opens the next one with it.
        e = atEnd ? nullptr : (isBar(last) ? last : last->nextElementSibling());
        if (e == strip.first) // a bar line alone taller than the page
            e = e->nextElementSibling();
    }
    const size_t columns = size_t(m_setup.columns);
    for (size_t i = 0; i < strips.size(); ++i) {
        if (i % columns == 0)
            m_pages.emplace_back();
        m_pages.back().strips.push_back(strips[i]);
    }
}
