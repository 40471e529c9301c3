#include "app/tuner_panel.h"

#include "app/tine_strip.h"
#include "app/tuner_dial.h"
#include "doc/settings_store.h"
#include "view/note_names.h"

#include <QCloseEvent>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

QString keyText(int key)
{
    return QString::fromLatin1(noteName(key, false)) + QString::number(key / 12 - 1);
}

} // namespace

double storedTunerReference()
{
    bool ok = false;
    const double hz = readSettingText(SettingKey::TunerReference).toDouble(&ok);
    return ok && hz >= kLowestReferenceHz && hz <= kHighestReferenceHz ? hz : 440.0;
}

TunerPanel::TunerPanel(QWidget* parent)
    : QDockWidget(QStringLiteral("Tuner"), parent), m_note(new QLabel), m_tine(new QLabel), m_cents(new QLabel),
      m_dial(new TunerDial), m_strip(new TineStrip), m_reference(new QDoubleSpinBox)
{
    setObjectName(QStringLiteral("Tuner"));
    QFont big = m_note->font();
    big.setPointSizeF(big.pointSizeF() * 2.2);
    big.setBold(true);
    m_note->setFont(big);
    for (QLabel* label : {m_note, m_tine, m_cents})
        label->setAlignment(Qt::AlignCenter);
    m_note->setText(QStringLiteral("–"));
    m_tine->setText(QStringLiteral("Pluck a tine"));
    m_reference->setRange(kLowestReferenceHz, kHighestReferenceHz);
    m_reference->setDecimals(1);
    m_reference->setSuffix(QStringLiteral(" Hz"));
    m_reference->setValue(storedTunerReference());
    connect(m_reference, &QDoubleSpinBox::valueChanged, this, [this](double hz) {
        writeSettingText(SettingKey::TunerReference, QString::number(hz));
        emit tuningChanged();
    });

    auto* body = new QWidget;
    auto* layout = new QVBoxLayout(body);
    layout->addWidget(m_note);
    layout->addWidget(m_tine);
    layout->addWidget(m_dial, 1);
    layout->addWidget(m_cents);
    layout->addWidget(m_strip);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Reference A4:"), m_reference);
    layout->addLayout(form);
    setWidget(body);
}

void TunerPanel::setTuning(const std::vector<int>& keys)
{
    m_keys = keys;
    QStringList names;
    for (int key : keys)
        names << QString::fromLatin1(noteName(key, false));
    m_strip->setTines(names);
    m_dial->setCents(std::nullopt);
    m_cents->clear();
}

TineTuning TunerPanel::tuning() const
{
    return {m_keys, m_reference->value()};
}

void TunerPanel::showReading(const TunerReading& reading, const std::vector<double>& tineCents)
{
    const int tine = reading.nearest.tine;
    m_strip->setReadings(tineCents, tine);
    if (tine < 1 || size_t(tine) > m_keys.size())
        return;
    m_note->setText(keyText(m_keys[size_t(tine - 1)]));
    m_tine->setText(QStringLiteral("tine %1 · %2 Hz").arg(tine).arg(reading.hz, 0, 'f', 1));
    m_dial->setCents(reading.nearest.cents);
    m_cents->setText(QString::asprintf("%+.1f cents", reading.nearest.cents));
}

QString TunerPanel::noteText() const
{
    return m_note->text();
}

QString TunerPanel::centsText() const
{
    return m_cents->text();
}

void TunerPanel::closeEvent(QCloseEvent* event)
{
    QDockWidget::closeEvent(event);
    emit closed();
}
