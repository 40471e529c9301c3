#include "app/status_notice.h"

#include <QEvent>
#include <QMainWindow>
#include <QStatusBar>
#include <QStatusTipEvent>

StatusNotice::StatusNotice(QMainWindow& window) : QObject(&window), m_window(window)
{
    window.installEventFilter(this);
}

void StatusNotice::show(const QString& text, int ms)
{
    m_text = text;
    m_until.setRemainingTime(ms);
    m_window.statusBar()->showMessage(text, ms);
}

bool StatusNotice::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &m_window)
        return false;
    // A message given before the window first shows (a file opened from the
    // command line) is shown again then: showing the window shows the
    // status bar's own widgets too, and "Ready" would stand over it.
    const bool shown = event->type() == QEvent::Show;
    const bool promptEnds =
        event->type() == QEvent::StatusTip && static_cast<QStatusTipEvent*>(event)->tip().isEmpty();
    const qint64 left = m_until.remainingTime();
    if ((!shown && !promptEnds) || left <= 0) // a time of 0 would keep the message for good
        return false;
    if (shown)
        m_window.statusBar()->clearMessage(); // the same message again would change nothing
    m_window.statusBar()->showMessage(m_text, int(left));
    return promptEnds;
}
