#include "view/zolva_view.h"

#include "doc/zolva_doc.h"
#include "xml/xpxml_node.h"

#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <climits>

CZolvaView::CZolvaView(CZolvaDoc& doc, QWidget* parent) : QAbstractScrollArea(parent), m_doc(doc)
{
    // Every paint covers the whole window: nothing to erase first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
    m_layout.setDocument(&m_doc);
}

void CZolvaView::OnInitialUpdate()
{
    OnUpdate();
    XPxmlNode* first = m_doc.firstEvent();
    scrollToShow(first);
    m_cursor.element.store(first);
    m_cursorTine = 0;
    m_doc.tree().clearModified();
    viewport()->update();
}

void CZolvaView::OnUpdate()
{
    m_cursor.clear();
    m_layout.CheckAndRefresh(m_doc.firstEvent(), m_cursor, viewport());
    m_layout.ComputeExtent(true, viewport());
    m_painter.layoutChanged();
    updateScrollRanges();
    if (isVisible())
        viewport()->repaint();
}

void CZolvaView::ScrollToElement(XPxmlNode* element, int lookAhead)
{
    if (!element)
        return;
    for (int i = 0; i < lookAhead && element->nextElementSibling(); ++i)
        element = element->nextElementSibling();
    scrollToShow(element);
    viewport()->repaint();
}

void CZolvaView::updateScrollRanges()
{
    const QSize extent = m_layout.ComputeExtent(false, viewport());
    const QSize client = viewport()->size();
    verticalScrollBar()->setRange(0, std::max(0, extent.height() - client.height()));
    verticalScrollBar()->setPageStep(client.height());
    verticalScrollBar()->setSingleStep(ViewLayout::kLineStepY);
    horizontalScrollBar()->setRange(0, std::max(0, extent.width() - client.width()));
    horizontalScrollBar()->setPageStep(client.width());
    horizontalScrollBar()->setSingleStep(ViewLayout::kLineStepX);
}

void CZolvaView::scrollToShow(const XPxmlNode* element)
{
    if (!element)
        return;
    const ViewLayout::Band band = m_layout.EventBand(element, ViewLayout::Coordinates::Document);
    const int64_t scroll = verticalScrollBar()->value();
    const int64_t height = viewport()->height();
    int64_t target = scroll;
    if (band.top - band.height < scroll)
        target = band.top - 2 * band.height;
    else if (band.top + band.height > scroll + height)
        target = band.top + 2 * band.height - height;
    verticalScrollBar()->setValue(int(std::clamp<int64_t>(target, INT_MIN, INT_MAX)));
}

void CZolvaView::paintEvent(QPaintEvent*)
{
    m_layout.setViewport(verticalScrollBar()->value(), viewport()->height());
    CursorMarks marks;
    marks.element = m_cursor.element.load();
    marks.tine = m_cursorTine;
    marks.selectionAnchor = m_cursor.selectionAnchor;
    marks.selectionEnd = m_cursor.selectionEnd;
    marks.playing = m_playing;
    // A paint that finds another still drawing shows the last frame again.
    m_painter.OnDraw(m_frame, m_layout, viewport()->size(), marks);
    if (m_frame.isNull())
        return;
    QPainter painter(viewport());
    painter.drawImage(-horizontalScrollBar()->value(), 0, m_frame);
}

void CZolvaView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRanges();
}

void CZolvaView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->repaint();
}
