#pragma once

#include "view/tablature_painter.h"
#include "view/view_cursor.h"
#include "view/view_layout.h"

#include <QAbstractScrollArea>
#include <QImage>

class CZolvaDoc;
class MidiSession;
struct NavigationView;

// A view of one music document: a scroll area that shows the tablature as
// the painter draws it, with a cursor the keys and the mouse move. Layout,
// drawing and navigation live below it; the widget only resolves options,
// lays out on update, keeps the scroll ranges, hands keys and clicks on and
// copies the finished frame to the screen.
class CZolvaView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit CZolvaView(CZolvaDoc& doc, QWidget* parent = nullptr);

    CZolvaDoc& document() const { return m_doc; }
    ViewLayout& layout() { return m_layout; }
    ViewCursor& cursor() { return m_cursor; }
    int cursorTine() const { return m_cursor.tine; }
    bool isPlaying() const { return m_playing; }
    void setPlaying(bool playing) { m_playing = playing; }
    bool shiftDown() const { return m_shiftDown; }
    bool buttonDown() const { return m_buttonDown; }
    // Where previews sound; none: the view is silent.
    void setMidi(MidiSession* midi) { m_midi = midi; }

    // Lays the document out afresh and puts the cursor on its first element,
    // scrolled into view: what a newly opened view shows.
    void OnInitialUpdate();
    // The document changed: cursor and selection go, the bars are timed
    // (only by the document's first view) and the music laid out anew, and
    // the view is repainted.
    void OnUpdate();
    // Keeps element and the lookAhead elements after it in view, then
    // repaints at once; nothing for no element.
    void ScrollToElement(XPxmlNode* element, int lookAhead);

    // The Home and End commands: the cursor, without a selection, on the
    // first or last element, scrolled to. The caller checks that the view
    // is not playing.
    void OnHome();
    void OnEnd();

signals:
    // Keys that act for the whole program: P starts Play as the
    // application's Play does; while playing, P and S stop as its Stop does.
    void playAllRequested();
    void stopPlayingRequested();
    // A key, a click, Home or End moved the cursor or changed the selection.
    void cursorMoved();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    // Navigation's view of this one, with the layout told where the window is.
    NavigationView navigation();
    // Home and End: place puts the cursor, then the view follows it.
    void jump(void (*place)(NavigationView&));
    // After a key moved the cursor: repaint, or scroll when it is out of sight.
    void showCursor();
    void leftButtonDown(QMouseEvent* event);
    void updateScrollRanges();
    // Scrolls so that element shows with its own height to spare.
    // The first display, from the bottom of the piece when element shows there.
    void scrollToOpening(const XPxmlNode* element);
    void scrollToShow(const XPxmlNode* element);

    CZolvaDoc& m_doc;
    ViewLayout m_layout;
    ViewCursor m_cursor;
    bool m_playing = false;
    bool m_shiftDown = false;
    bool m_buttonDown = false;
    bool m_shown = false; // the window has been shown at its real size
    MidiSession* m_midi = nullptr;
    TablaturePainter m_painter;
    QImage m_frame;
};
