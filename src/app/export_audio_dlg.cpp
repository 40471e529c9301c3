#include "app/export_audio_dlg.h"

#include "app/dialog_buttons.h"
#include "play/practice_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

CExportAudioDlg::CExportAudioDlg(const PracticeControls& practice, QWidget* parent)
    : QDialog(parent), m_kind(new QComboBox(this)), m_speed(new QSpinBox(this)),
      m_metronome(new QCheckBox(QStringLiteral("&Metronome clicks on every beat"), this))
{
    setWindowTitle(QStringLiteral("Export Audio"));
    m_kind->setObjectName(QStringLiteral("format"));
    m_speed->setObjectName(QStringLiteral("speed"));
    m_metronome->setObjectName(QStringLiteral("metronome"));
    m_kind->addItem(QStringLiteral("WAV (uncompressed)"), int(SoundFileKind::Wav));
    m_kind->addItem(QStringLiteral("FLAC (lossless)"), int(SoundFileKind::Flac));
    m_kind->addItem(QStringLiteral("Ogg Vorbis (compressed)"), int(SoundFileKind::OggVorbis));
    m_speed->setRange(kMinSpeedPercent, kMaxSpeedPercent);
    m_speed->setSingleStep(kSpeedStepPercent);
    m_speed->setSuffix(QStringLiteral(" %"));
    m_speed->setValue(practice.speed.load());
    m_metronome->setChecked(practice.metronome.load());

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Format:"), m_kind);
    form->addRow(QStringLiteral("&Speed:"), m_speed);
    form->addRow(QString(), m_metronome);
    QDialogButtonBox* buttons = okCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

SoundFileKind CExportAudioDlg::kind() const { return SoundFileKind(m_kind->currentData().toInt()); }
int CExportAudioDlg::speed() const { return m_speed->value(); }
bool CExportAudioDlg::metronome() const { return m_metronome->isChecked(); }
