#pragma once

#include <QWidget>

#include <optional>

// The tuner's needle over a scale of -50 … +50 cents: upright and green
// when the tone is in tune (within 5 cents), leaning and amber otherwise.
class TunerDial : public QWidget {
    Q_OBJECT
public:
    static constexpr double kInTuneCents = 5.0;

    explicit TunerDial(QWidget* parent = nullptr);
    // The needle's reading; none hides it.
    void setCents(std::optional<double> cents);
    std::optional<double> cents() const { return m_cents; }
    QSize sizeHint() const override { return {240, 120}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<double> m_cents;
};

// The colour a reading of cents is shown in.
QColor tuningColor(double cents);
