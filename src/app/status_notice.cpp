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
    if (watched != &m_window || event->type() != QEvent::StatusTip ||
        !static_cast<QStatusTipEvent*>(event)->tip().isEmpty())
        return false;
    const qint64 left = m_until.remainingTime();
    if (left <= 0) // a time of 0 would keep the message for good
        return false;
    m_window.statusBar()->showMessage(m_text, int(left));
    return true;
}
