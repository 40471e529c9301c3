#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QWidget;

// Enter and Escape in a toolbar's entry box (the speed, the play delay): Enter
// commits what was typed, Escape puts back what the box held when it got the
// keyboard, and both give the keyboard back to the music, so that Space, P
// and S play and stop again at once. Other keys stay the box's own.
class BoxKeys : public QObject {
public:
    // Watches box (a QLineEdit or a QSpinBox); giveBack hands the keyboard to
    // the active view, if there is one.
    BoxKeys(QWidget* box, std::function<void()> giveBack);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString text() const;
    void restore(const QString& text);

    QWidget* m_box;
    std::function<void()> m_giveBack;
    QString m_held; // the box's text when it got the keyboard
};
