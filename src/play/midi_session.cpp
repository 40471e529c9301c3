#include "play/midi_session.h"

#include "doc/message_sink.h"
#include "play/holding_output.h"
#include "play/play_clock.h"
#include "doc/settings_store.h"

#include <utility>

MidiSession::MidiSession(MessageSink& messages, MidiDevices& devices) : m_messages(messages), m_devices(devices) {}

MidiSession::~MidiSession()
{
    {
        std::lock_guard lock(m_restartMutex);
        m_quit = true;
    }
    m_restartChanged.notify_all();
    if (m_worker.joinable())
        m_worker.join();
    CloseMidiOutput();
}

bool MidiSession::openDevice(int device, int instrument, std::shared_ptr<MidiOutput>& opened)
{
    opened = m_devices.open(device);
    if (!opened)
        return false;
    opened->setVolume(kMidiVolumeFull);
    // PlayChord asks for this program before every chord.
    opened->prepareProgram((instrument - 1) & 0x7F);
    return true;
}

// Said once for a device that keeps failing: every Stop reopens it.
void MidiSession::sayFailure(int device)
{
    bool say = false;
    {
        std::lock_guard lock(m_outMutex);
        say = m_failedDevice != device;
        m_failedDevice = device;
    }
    if (!say)
        return;
    if (std::this_thread::get_id() == m_uiThread || !m_uiPost) {
        m_messages.showMessage("Unable to open MIDI Output.\n");
        return;
    }
    // Said later on the user-interface thread, and not at all once the session is gone.
    m_uiPost([this, alive = std::weak_ptr<void>(m_alive)] {
        if (!alive.expired())
            m_messages.showMessage("Unable to open MIDI Output.\n");
    });
}

void MidiSession::sayNextFailure()
{
    std::lock_guard lock(m_outMutex);
    m_failedDevice.reset();
}

bool MidiSession::OpenMidiOutput()
{
    waitForOutput();
    m_midiDevice = int(readSettingNumber(SettingKey::MidiDevice, kDefaultDevice));
    m_midiInstrument = int(readSettingNumber(SettingKey::MidiInstrument, kDefaultInstrument));

    std::shared_ptr<MidiOutput> opened;
    if (!openDevice(m_midiDevice, m_midiInstrument, opened)) {
        sayFailure(m_midiDevice);
        return false;
    }
    std::shared_ptr<MidiOutput> previous;
    {
        std::lock_guard lock(m_outMutex);
        m_failedDevice.reset();
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
    waitForOutput();
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

void MidiSession::restartOutput()
{
    // The settings are read here, on the user-interface thread, as an open reads them.
    m_midiDevice = int(readSettingNumber(SettingKey::MidiDevice, kDefaultDevice));
    m_midiInstrument = int(readSettingNumber(SettingKey::MidiInstrument, kDefaultInstrument));
    std::lock_guard restart(m_restartMutex);
    if (!m_holding) {
        // Nothing more reaches the old output; what comes meanwhile waits.
        auto holding = std::make_shared<HoldingOutput>(m_uiThread);
        std::lock_guard lock(m_outMutex);
        m_closing = std::exchange(m_midiOut, holding);
        m_holding = std::move(holding);
    }
    m_restartWanted = true;
    if (!m_worker.joinable())
        m_worker = std::thread([this] { restartLoop(); });
    m_restartChanged.notify_all();
}

void MidiSession::waitForOutput()
{
    std::unique_lock lock(m_restartMutex);
    m_restartChanged.wait(lock, [this] { return !m_restartWanted && !m_restarting; });
}

void MidiSession::restartLoop()
{
    std::unique_lock lock(m_restartMutex);
    while (true) {
        m_restartChanged.wait(lock, [this] { return m_restartWanted || m_quit; });
        if (!m_restartWanted)
            return; // quitting with nothing asked for
        m_restartWanted = false;
        m_restarting = true;
        std::shared_ptr<MidiOutput> closing = std::move(m_closing);
        std::shared_ptr<HoldingOutput> holding = m_holding;
        const int device = m_midiDevice, instrument = m_midiInstrument;
        lock.unlock();

        if (closing) {
            closing->reset();
            closing->close();
            closing.reset();
        }
        std::shared_ptr<MidiOutput> opened;
        if (openDevice(device, instrument, opened)) {
            std::lock_guard out(m_outMutex);
            m_failedDevice.reset();
        } else {
            sayFailure(device);
        }

        lock.lock();
        if (m_restartWanted) {
            // Asked again meanwhile: the new output is closed at once.
            m_closing = std::move(opened);
        } else {
            {
                std::lock_guard out(m_outMutex);
                holding->handOver(opened, midiClockMicros());
                m_midiOut = std::move(opened);
            }
            m_holding.reset();
        }
        m_restarting = false;
        m_restartChanged.notify_all();
    }
}

void MidiSession::setDrumsWanted(bool wanted)
{
    m_drumsWanted = wanted;
    if (const std::shared_ptr<MidiOutput> out = midiOut(); out && wanted)
        out->prepareDrums();
}

void MidiSession::readMute()
{
    m_mute = int(readSettingNumber(SettingKey::Mute, 0));
}

std::shared_ptr<MidiOutput> MidiSession::midiOut() const
{
    std::lock_guard lock(m_outMutex);
    return m_midiOut;
}
