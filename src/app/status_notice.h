#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QString>

class QMainWindow;

// A message that keeps the status bar of a main window for its time. The
// prompt of a command under the mouse still covers it; but when the mouse
// leaves a toolbar button or a menu, the empty prompt that ends it would
// clear the bar at once (the button that opened a file is still under the
// mouse when the import reports), so the message is put back instead, as it
// is when the window first shows.
class StatusNotice : public QObject {
public:
    explicit StatusNotice(QMainWindow& window);

    void show(const QString& text, int ms);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMainWindow& m_window;
    QString m_text;
    QDeadlineTimer m_until; // expired while there is nothing to keep
};
