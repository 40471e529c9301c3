#include "app/zolva_view.h"

#include "doc/zolva_doc.h"
#include "play/chord_sender.h"
#include "view/view_navigation.h"
#include "xml/xpxml_node.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <climits>

int nextZoom(int percent, int direction)
{
    if (direction > 0) {
        for (int step : kZoomSteps)
            if (step > percent)
                return step;
    } else {
        for (auto it = kZoomSteps.rbegin(); it != kZoomSteps.rend(); ++it)
            if (*it < percent)
                return *it;
    }
    return percent;
}

int validZoom(long percent)
{
    return percent >= kZoomSteps.front() && percent <= kZoomSteps.back() ? int(percent) : 100;
}

CZolvaView::CZolvaView(CZolvaDoc& doc, QWidget* parent) : QAbstractScrollArea(parent), m_doc(doc)
{
    // Every paint covers the whole window: nothing to erase first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
    // A move without the button must be seen to notice a release elsewhere.
    viewport()->setMouseTracking(true);
    m_layout.setDocument(&m_doc);
    m_flashEnd.setSingleShot(true);
    connect(&m_flashEnd, &QTimer::timeout, this, [this] {
        m_wrongTines.clear();
        viewport()->update();
    });
}

void CZolvaView::flashWrongTines(const std::vector<int>& tines, int ms)
{
    m_wrongTines = tines;
    m_flashEnd.start(ms);
    viewport()->update();
}

void CZolvaView::OnInitialUpdate()
{
    OnUpdate();
    XPxmlNode* first = m_doc.firstEvent();
    scrollToOpening(first);
    // Opening sounds the first note.
    NavigationView view = navigation();
    MoveCursor(view, first, 0);
    m_doc.tree().clearModified();
    viewport()->update();
}

NavigationView CZolvaView::navigation()
{
    useOwnPositions();
    m_layout.setViewport(verticalScrollBar()->value(), viewport()->height());
    const auto& keys = m_layout.options().tineKeys;
    return NavigationView{m_layout, m_cursor, m_doc.noteList(), TineSound{midiPreview(m_midi, keys, m_doc.tineCount()), m_doc.tineCount()}, m_playing};
}

void CZolvaView::setPlaying(bool playing)
{
    if (m_playing && !playing)
        m_stoppedInSelection = {m_cursor.selectionAnchor, m_cursor.selectionEnd};
    else if (playing)
        m_stoppedInSelection = {};
    m_playing = playing;
}

void CZolvaView::OnHome()
{
    jump(CursorToFirst);
}

void CZolvaView::OnEnd()
{
    jump(CursorToLast);
}

void CZolvaView::jump(void (*place)(NavigationView&))
{
    NavigationView view = navigation();
    place(view);
    ScrollToElement(m_cursor.element.load(), 0);
    viewport()->repaint(); // also without music, for the selection gone
}

void CZolvaView::showCursor()
{
    m_layout.setViewport(verticalScrollBar()->value(), viewport()->height());
    XPxmlNode* element = m_cursor.element.load();
    if (IsFullyVisible(m_layout, element))
        viewport()->repaint();
    else
        ScrollToElement(element, 0);
}

void CZolvaView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Shift) {
        m_shiftDown = true;
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    // Keys held with Ctrl, Alt or Meta are the commands' even while those are
    // disabled (Ctrl+P is Print, not Play); a held P or S would toggle.
    constexpr Qt::KeyboardModifiers commandModifiers = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    const bool playKey = event->key() == Qt::Key_P || event->key() == Qt::Key_S;
    if ((event->modifiers() & commandModifiers) || (playKey && event->isAutoRepeat())) {
        QWidget::keyPressEvent(event);
        return;
    }
    // Shift released while another window had the keys is noticed here.
    m_shiftDown = event->modifiers().testFlag(Qt::ShiftModifier);
    NavigationView view = navigation();
    switch (OnKeyDown(view, event->key(), m_shiftDown)) {
    case KeyResult::NotOurs:
        // Not the scroll area's own keys: those would scroll past the cursor.
        QWidget::keyPressEvent(event);
        return;
    case KeyResult::NoAction:
        break;
    case KeyResult::PlayAll:
        emit playAllRequested();
        break;
    case KeyResult::StopPlaying:
        emit stopPlayingRequested();
        break;
    case KeyResult::Paged:
        ScrollToElement(m_cursor.element.load(), 0);
        showCursor();
        break;
    case KeyResult::Moved:
        showCursor();
        break;
    }
    emit cursorMoved();
    event->accept();
}

void CZolvaView::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Shift)
        m_shiftDown = false;
    QAbstractScrollArea::keyReleaseEvent(event);
}

void CZolvaView::leftButtonDown(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint point = event->position().toPoint() +
                         QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    NavigationView view = navigation();
    if (!OnLeftButtonDown(view, point, event->modifiers().testFlag(Qt::ShiftModifier)))
        return; // playing: clicks do nothing
    viewport()->repaint();
    m_buttonDown = true;
    emit cursorMoved();
}

void CZolvaView::mousePressEvent(QMouseEvent* event)
{
    leftButtonDown(event);
    QAbstractScrollArea::mousePressEvent(event);
}

void CZolvaView::mouseDoubleClickEvent(QMouseEvent* event)
{
    leftButtonDown(event);
    QAbstractScrollArea::mouseDoubleClickEvent(event);
}

void CZolvaView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_buttonDown = false;
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void CZolvaView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_buttonDown && !event->buttons().testFlag(Qt::LeftButton)) {
        m_buttonDown = false;
        viewport()->repaint();
    }
    QAbstractScrollArea::mouseMoveEvent(event);
}

void CZolvaView::OnUpdate()
{
    m_cursor.clear();
    if (m_doc.barsTimed()) {
        m_layout.RefreshLayout(viewport());
    } else {
        m_layout.CheckAndRefresh(m_doc.firstEvent(), m_cursor, viewport());
        m_doc.setBarsTimed();
    }
    extentChanged();
    if (isVisible())
        viewport()->repaint();
}

void CZolvaView::extentChanged()
{
    m_laidOut = true;
    m_layout.ComputeExtent(true, viewport());
    m_painter.layoutChanged();
    updateScrollRanges();
}

void CZolvaView::useOwnPositions()
{
    if (!m_laidOut || m_layout.positionsCurrent())
        return;
    m_layout.RefreshLayout(viewport());
    extentChanged();
}

void CZolvaView::setZoom(int percent)
{
    percent = std::clamp(percent, kZoomSteps.front(), kZoomSteps.back());
    if (percent == zoom())
        return;
    if (!m_laidOut) {
        m_layout.setZoom(percent); // the first layout uses it
    } else {
        useOwnPositions();
        // The cursor's row stays where it shows; without a cursor, the
        // window's top stays at the same share of the piece.
        QScrollBar* bar = verticalScrollBar();
        m_layout.setViewport(bar->value(), viewport()->height());
        const XPxmlNode* anchor = m_cursor.element.load();
        const int64_t shownAt = m_layout.EventBand(anchor).top;
        const double share = bar->maximum() > 0 ? double(bar->value()) / bar->maximum() : 1.0;
        const int oldWidth = m_layout.ComputeExtent(false).width();
        const int x = horizontalScrollBar()->value();
        m_layout.setZoom(percent);
        m_layout.RefreshLayout(viewport());
        extentChanged();
        const int64_t target = anchor ? m_layout.EventBand(anchor, ViewLayout::Coordinates::Document).top - shownAt
                                      : int64_t(share * bar->maximum());
        bar->setValue(int(std::clamp<int64_t>(target, INT_MIN, INT_MAX)));
        const int newWidth = m_layout.ComputeExtent(false).width();
        horizontalScrollBar()->setValue(oldWidth > 0 ? int(int64_t(x) * newWidth / oldWidth) : 0);
        viewport()->update();
    }
    emit zoomChanged(percent);
}

void CZolvaView::wheelEvent(QWheelEvent* event)
{
    if (!event->modifiers().testFlag(Qt::ControlModifier)) {
        m_wheelZoom = 0;
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    // One step per notch; fine-grained wheels add up to notches.
    constexpr int kNotch = 120;
    m_wheelZoom += event->angleDelta().y();
    while (std::abs(m_wheelZoom) >= kNotch) {
        const int direction = m_wheelZoom > 0 ? 1 : -1;
        m_wheelZoom -= direction * kNotch;
        setZoom(nextZoom(zoom(), direction));
    }
    event->accept();
}

bool CZolvaView::event(QEvent* event)
{
    bool densityChanged = event->type() == QEvent::ScreenChangeInternal;
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    densityChanged = densityChanged || event->type() == QEvent::DevicePixelRatioChange;
#endif
    if (densityChanged)
        viewport()->update();
    return QAbstractScrollArea::event(event);
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
    // A row the bottom of the piece shows (the first row always) is shown
    // from the bottom, the tine names under it whole, as on opening.
    if (target != scroll || element == m_doc.firstEvent()) {
        const int64_t bottom = verticalScrollBar()->maximum();
        m_layout.setViewport(bottom, height);
        if (IsFullyVisible(m_layout, element))
            target = bottom;
        m_layout.setViewport(scroll, height);
    }
    verticalScrollBar()->setValue(int(std::clamp<int64_t>(target, INT_MIN, INT_MAX)));
}

void CZolvaView::paintEvent(QPaintEvent*)
{
    useOwnPositions();
    m_layout.setViewport(verticalScrollBar()->value(), viewport()->height());
    CursorMarks marks;
    marks.element = m_cursor.element.load();
    marks.tine = m_cursor.tine;
    marks.selectionAnchor = m_cursor.selectionAnchor;
    marks.selectionEnd = m_cursor.selectionEnd;
    marks.playing = m_playing;
    marks.cursorOverSelection =
        marks.selectionAnchor && std::pair(marks.selectionAnchor, marks.selectionEnd) == m_stoppedInSelection;
    marks.wrongTines = m_wrongTines;
    // A paint that finds another still drawing shows the last frame again.
    m_painter.OnDraw(m_frame, m_layout, viewport()->size(), marks, viewport()->devicePixelRatioF());
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

// A view laid out before its window had its size scrolled for the wrong
// height: once shown, the cursor is brought into view again.
void CZolvaView::showEvent(QShowEvent* event)
{
    QAbstractScrollArea::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    updateScrollRanges();
    scrollToOpening(m_cursor.element.load());
}

void CZolvaView::scrollToOpening(const XPxmlNode* element)
{
    // The bottom of the piece, with the tine names under the first row, when
    // the element shows there; else as any element is shown.
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->maximum());
    m_layout.setViewport(bar->value(), viewport()->height());
    if (!IsFullyVisible(m_layout, element))
        scrollToShow(element);
    viewport()->repaint();
}

void CZolvaView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->repaint();
}
