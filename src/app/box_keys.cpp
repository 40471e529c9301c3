#include "app/box_keys.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSpinBox>

BoxKeys::BoxKeys(QWidget* box, std::function<void()> giveBack)
    : QObject(box), m_box(box), m_giveBack(std::move(giveBack))
{
    box->installEventFilter(this);
}

QString BoxKeys::text() const
{
    if (auto* spin = qobject_cast<QSpinBox*>(m_box))
        return QString::number(spin->value());
    return static_cast<QLineEdit*>(m_box)->text();
}

void BoxKeys::restore(const QString& text)
{
    if (auto* spin = qobject_cast<QSpinBox*>(m_box)) {
        spin->setValue(text.toInt());
        // What was typed but not taken is shown no more.
        if (QLineEdit* edit = spin->findChild<QLineEdit*>())
            edit->setText(spin->prefix() + spin->locale().toString(spin->value()) + spin->suffix());
        return;
    }
    static_cast<QLineEdit*>(m_box)->setText(text);
}

bool BoxKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_box)
        return false;
    if (event->type() == QEvent::FocusIn) {
        m_held = text();
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (auto* spin = qobject_cast<QSpinBox*>(m_box))
            spin->interpretText();
        m_giveBack();
        return true;
    }
    if (key == Qt::Key_Escape) {
        restore(m_held);
        m_giveBack();
        return true;
    }
    return false;
}
