#pragma once

#include "view/tablature_painter.h"
#include "view/view_cursor.h"
#include "view/view_layout.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <QTimer>

#include <array>
#include <utility>
#include <vector>

class CZolvaDoc;
class MidiSession;
struct NavigationView;

// The zoom steps of a view, in percent.
inline constexpr std::array<int, 12> kZoomSteps{50, 67, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300};
// The step after percent towards larger (direction > 0) or smaller sizes;
// percent itself past the last step that way.
int nextZoom(int percent, int direction);
// percent when it lies within the steps' range, else 100.
int validZoom(long percent);

// A view of one music document: a scroll area that shows the tablature as
// the painter draws it, with a cursor the keys and the mouse move. Layout,
// drawing and navigation live in view/ below it; the widget only resolves
// options, lays out on update, keeps the scroll ranges, hands keys and clicks
// on, sounds their previews through the MIDI output and copies the finished
// frame to the screen.
class CZolvaView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit CZolvaView(CZolvaDoc& doc, QWidget* parent = nullptr);

    CZolvaDoc& document() const { return m_doc; }
    ViewLayout& layout() { return m_layout; }
    ViewCursor& cursor() { return m_cursor; }
    int cursorTine() const { return m_cursor.tine; }
    bool isPlaying() const { return m_playing; }
    // Stopping remembers the selection, if any: while it stays, the cursor
    // where the music stopped shows over it.
    void setPlaying(bool playing);
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
    // Tints the lanes of tines (numbered from 1) red for ms milliseconds, in
    // place of any still showing: wrong tines heard while playing along.
    void flashWrongTines(const std::vector<int>& tines, int ms);

    // The Home and End commands: the cursor, without a selection, on the
    // first or last element, scrolled to. The caller checks that the view
    // is not playing.
    void OnHome();
    void OnEnd();

    // The zoom in percent: it multiplies the file's scale for this window
    // only and leaves the document as it is. Setting it lays the music out
    // again with the cursor's row where it was in the window.
    int zoom() const { return m_layout.zoom(); }
    void setZoom(int percent);
    void zoomIn() { setZoom(nextZoom(zoom(), 1)); }
    void zoomOut() { setZoom(nextZoom(zoom(), -1)); }

signals:
    // The zoom changed, by a command or the wheel.
    void zoomChanged(int percent);

    // Keys the view passes up. While playing, P and S stop every view, as
    // Stop Playing does: the Play command and its key P are disabled then,
    // so the key reaches the view. While idle, P normally goes to the active
    // view's Play command through its shortcut; the view asks for the
    // application's Play only when that command does not take the key.
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
    // Ctrl with the wheel zooms.
    void wheelEvent(QWheelEvent* event) override;
    // A move to a screen of another pixel density draws the frame anew.
    bool event(QEvent* event) override;

private:
    // After the layout ran: the size, the bar numbers and the scroll ranges follow.
    void extentChanged();
    // Lays the music out again when another view's zoom laid it out last.
    void useOwnPositions();
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
    std::pair<const XPxmlNode*, const XPxmlNode*> m_stoppedInSelection; // anchor and end
    bool m_shiftDown = false;
    bool m_buttonDown = false;
    bool m_shown = false; // the window has been shown at its real size
    bool m_laidOut = false;
    int m_wheelZoom = 0; // wheel turn not yet a whole zoom step
    MidiSession* m_midi = nullptr;
    TablaturePainter m_painter;
    QImage m_frame;
    std::vector<int> m_wrongTines; // flashing until m_flashEnd
    QTimer m_flashEnd;
};
