#include "play/midi_session.h"

#include "doc/message_sink.h"
#include "play/settings_values.h"

#include <utility>

MidiSession::MidiSession(MessageSink& messages, MidiDevices& devices) : m_messages(messages), m_devices(devices) {}

MidiSession::~MidiSession()
{
    CloseMidiOutput();
}

bool MidiSession::OpenMidiOutput()
{
    m_midiDevice = int(readSettingNumber("MidiDevice", kDefaultDevice));
    m_midiInstrument = int(readSettingNumber("MidiInstrument", kDefaultInstrument));

    std::shared_ptr<MidiOutput> opened = m_devices.open(m_midiDevice);
    if (!opened) {
        if (m_failedDevice != m_midiDevice)
            m_messages.showMessage("Unable to open MIDI Output.\n");
        m_failedDevice = m_midiDevice;
        return false;
    }
    m_failedDevice.reset();
    opened->setVolume(kMidiVolumeFull);
    // PlayChord asks for this program before every chord.
    opened->prepareProgram((m_midiInstrument - 1) & 0x7F);

    std::shared_ptr<MidiOutput> previous;
    {
        std::lock_guard lock(m_outMutex);
        previous = std::exchange(m_midiOut, opened);
    }
    // Opened twice without a close: the old device must not stay busy.
    if (previous) {
        previous->reset();
        previous->close();
    }
    return true;
}

void MidiSession::CloseMidiOutput()
{
    std::shared_ptr<MidiOutput> closing;
    {
        std::lock_guard lock(m_outMutex);
        closing = std::move(m_midiOut);
        m_midiOut.reset();
    }
    if (closing) {
        closing->reset();
        closing->close();
    }
}

void MidiSession::readMute()
{
    m_mute = int(readSettingNumber("Mute", 0));
}

std::shared_ptr<MidiOutput> MidiSession::midiOut() const
{
    std::lock_guard lock(m_outMutex);
    return m_midiOut;
}
