#include "app/midi_config_dlg.h"

#include "app/dialog_buttons.h"
#include "doc/settings_store.h"
#include "play/instrument_names.h"
#include "play/midi_session.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace {

QComboBox* addList(QGridLayout* grid, int row, const QString& label, QWidget* parent)
{
    auto* list = new QComboBox(parent);
    auto* caption = new QLabel(label, parent);
    caption->setBuddy(list);
    grid->addWidget(caption, row, 0);
    grid->addWidget(list, row, 1);
    return list;
}

} // namespace

CMidiConfigDlg::CMidiConfigDlg(const std::vector<MidiDeviceInfo>& devices, int midiDevice, int midiInstrument,
                               const std::vector<SoundInputDevice>& inputs, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("MIDI Configuration"));
    auto* grid = new QGridLayout(this);
    m_devices = addList(grid, 0, QStringLiteral("MIDI &Device"), this);
    m_instruments = addList(grid, 1, QStringLiteral("MIDI &Instrument"), this);
    m_instruments->setMaxVisibleItems(20);
    m_inputs = addList(grid, 2, QStringLiteral("&Listen with"), this);

    // The device list is sorted by name; the instruments keep their order.
    std::vector<MidiDeviceInfo> sorted = devices;
    std::stable_sort(sorted.begin(), sorted.end(), [](const MidiDeviceInfo& a, const MidiDeviceInfo& b) {
        return QString::fromStdString(a.name).compare(QString::fromStdString(b.name), Qt::CaseInsensitive) < 0;
    });
    for (const MidiDeviceInfo& device : sorted)
        m_devices->addItem(QString::fromStdString(device.name), device.id);
    for (int program = 1; program <= kInstrumentCount; ++program)
        m_instruments->addItem(QString::asprintf("%3ld - %s", long(program), kInstrumentNames[program - 1]), program);
    // A stored choice that no longer exists shows as no selection.
    m_devices->setCurrentIndex(m_devices->findData(midiDevice));
    m_instruments->setCurrentIndex(m_instruments->findData(midiInstrument));
    // The system's default comes first, named even when no list is given.
    m_inputs->addItem(QStringLiteral("Default input"), QString());
    for (const SoundInputDevice& input : inputs)
        if (!input.id.isEmpty())
            m_inputs->addItem(input.name, input.id);
    m_inputs->setCurrentIndex(m_inputs->findData(readSettingText(SettingKey::ListenDevice)));

    QDialogButtonBox* buttons = okCancelButtons(this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&OK"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("&Cancel"));
    grid->addWidget(buttons, 3, 0, 1, 2);
}

void CMidiConfigDlg::accept()
{
    if (m_devices->currentIndex() >= 0)
        writeSettingNumber(SettingKey::MidiDevice, m_devices->currentData().toInt());
    if (m_instruments->currentIndex() >= 0)
        writeSettingNumber(SettingKey::MidiInstrument, m_instruments->currentData().toInt());
    if (m_inputs->currentIndex() >= 0 && m_inputs->currentData().toString() != readSettingText(SettingKey::ListenDevice))
        writeSettingText(SettingKey::ListenDevice, m_inputs->currentData().toString());
    QDialog::accept();
}

void OnMidiSetup(MidiSession& midi, SoundInputs& inputs, QWidget* parent)
{
    CMidiConfigDlg dialog(midi.devices().list(), midi.midiDevice(), midi.midiInstrument(), inputs.list(), parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    midi.sayNextFailure();
    midi.restartOutput();
}
