#pragma once

#include <QStringList>
#include <QWidget>

#include <vector>

// Every tine of the document in a row, as on the instrument, each with its
// name and its last reading in cents: green within 5 cents, amber beyond,
// blank when not heard yet. The tine heard last is framed.
class TineStrip : public QWidget {
    Q_OBJECT
public:
    explicit TineStrip(QWidget* parent = nullptr);
    // The tines' names, tine 1 first; forgets the readings.
    void setTines(const QStringList& names);
    // Each tine's last reading (NaN: not heard), and the tine heard now.
    void setReadings(const std::vector<double>& cents, int current);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QStringList m_names;
    std::vector<double> m_cents;
    int m_current = 0;
};
