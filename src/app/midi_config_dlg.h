#pragma once

#include "listen/sound_inputs.h"
#include "play/midi_output.h"

#include <QDialog>

#include <vector>

class QComboBox;
class MidiSession;

// The "MIDI Configuration" dialog: a device and a General MIDI instrument,
// and the sound input the tuner listens with. OK stores the choice in
// "MidiDevice", "MidiInstrument" and "ListenDevice" (a list without a
// selection leaves its setting alone); Cancel stores nothing. The dialog
// changes nothing else: the next OpenMidiOutput picks the choice up, and the
// tuner the next time it starts.
class CMidiConfigDlg : public QDialog {
    Q_OBJECT
public:
    CMidiConfigDlg(const std::vector<MidiDeviceInfo>& devices, int midiDevice, int midiInstrument,
                   const std::vector<SoundInputDevice>& inputs = {}, QWidget* parent = nullptr);

    QComboBox* deviceList() const { return m_devices; }
    QComboBox* instrumentList() const { return m_instruments; }
    QComboBox* inputList() const { return m_inputs; }

    void accept() override;

private:
    QComboBox* m_devices;
    QComboBox* m_instruments;
    QComboBox* m_inputs;
};

// The MIDI Setup command (id 32833): runs the dialog and, when it ends with
// OK, closes and reopens the output so that the new choice takes effect.
inline constexpr int kMidiSetupCommand = 32833;
void OnMidiSetup(MidiSession& midi, SoundInputs& inputs, QWidget* parent);
