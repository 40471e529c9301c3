#pragma once

#include "listen/tuner.h"

#include <QDockWidget>

class QDoubleSpinBox;
class QLabel;
class TineStrip;
class TunerDial;

// "Tuner": the note heard, the nearest tine of the active document's tuning
// (its name and number), how many cents the tone is from it on a needle and
// as a number, and the strip of every tine's last reading. The reference A4
// is set here and kept as "TunerReference".
class TunerPanel : public QDockWidget {
    Q_OBJECT
public:
    explicit TunerPanel(QWidget* parent = nullptr);

    // The tines listened for; the strip starts afresh.
    void setTuning(const std::vector<int>& keys);
    TineTuning tuning() const;
    void showReading(const TunerReading& reading, const std::vector<double>& tineCents);

    QString noteText() const;
    QString centsText() const;

signals:
    void tuningChanged();
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::vector<int> m_keys;
    QLabel* m_note;
    QLabel* m_tine;
    QLabel* m_cents;
    TunerDial* m_dial;
    TineStrip* m_strip;
    QDoubleSpinBox* m_reference;
};

// The reference A4 "TunerReference" keeps: 440 Hz when absent or outside
// 415 … 466 Hz.
double storedTunerReference();
