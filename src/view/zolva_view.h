#pragma once

#include "view/tablature_painter.h"
#include "view/view_cursor.h"
#include "view/view_layout.h"

#include <QAbstractScrollArea>
#include <QImage>

class CZolvaDoc;

// A view of one music document: a scroll area that shows the tablature as
// the painter draws it. Layout and drawing live below it; the widget only
// resolves options, lays out on update, keeps the scroll ranges and copies
// the finished frame to the screen.
class CZolvaView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit CZolvaView(CZolvaDoc& doc, QWidget* parent = nullptr);

    CZolvaDoc& document() const { return m_doc; }
    ViewLayout& layout() { return m_layout; }
    ViewCursor& cursor() { return m_cursor; }
    int cursorTine() const { return m_cursorTine; }
    void setCursorTine(int tine) { m_cursorTine = tine; }
    bool isPlaying() const { return m_playing; }
    void setPlaying(bool playing) { m_playing = playing; }

    // Lays the document out afresh and puts the cursor on its first element,
    // scrolled into view: what a newly opened view shows.
    void OnInitialUpdate();
    // The document changed: cursor and selection go, bar timing and layout
    // are redone and the view is repainted.
    void OnUpdate();
    // Keeps element and the lookAhead elements after it in view, then
    // repaints at once; nothing for no element.
    void ScrollToElement(XPxmlNode* element, int lookAhead);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void updateScrollRanges();
    // Scrolls so that element shows with its own height to spare.
    void scrollToShow(const XPxmlNode* element);

    CZolvaDoc& m_doc;
    ViewLayout m_layout;
    ViewCursor m_cursor;
    int m_cursorTine = 0;
    bool m_playing = false;
    TablaturePainter m_painter;
    QImage m_frame;
};
