#include "play/midi_ports.h"

#include <RtMidi.h>

#include <filesystem>
#include <mutex>

namespace {

constexpr const char* kClientName = "Zolva Reader";

// Errors come back as results; without a callback RtMidi prints them and throws.
void ignoreError(RtMidiError::Type, const std::string&, void*) {}

// The MIDI system of the platform, or null when it has none. Named
// explicitly so that RtMidi never falls back to probing JACK.
std::unique_ptr<RtMidiOut> connect()
{
#if defined(__linux__)
    // Without the sequencer device ALSA would print its failure to the terminal.
    if (!std::filesystem::exists("/dev/snd/seq"))
        return nullptr;
    constexpr RtMidi::Api api = RtMidi::LINUX_ALSA;
#elif defined(_WIN32)
    constexpr RtMidi::Api api = RtMidi::WINDOWS_MM;
#elif defined(__APPLE__)
    constexpr RtMidi::Api api = RtMidi::MACOSX_CORE;
#else
    constexpr RtMidi::Api api = RtMidi::UNSPECIFIED;
#endif
    try {
        auto out = std::make_unique<RtMidiOut>(api, kClientName);
        out->setErrorCallback(ignoreError);
        return out;
    } catch (const RtMidiError&) {
        return nullptr;
    }
}

class MidiPort : public MidiOutput {
public:
    explicit MidiPort(std::unique_ptr<RtMidiOut> out) : m_out(std::move(out)) {}
    ~MidiPort() override { close(); }

    // Ports have no volume of their own that RtMidi could set.
    void setVolume(uint32_t) override {}

    void send(MidiMessage message) override
    {
        const std::vector<unsigned char> bytes = midiMessageBytes(message);
        std::lock_guard lock(m_mutex);
        if (m_out && !bytes.empty())
            m_out->sendMessage(bytes.data(), bytes.size());
    }

    void close() override
    {
        std::lock_guard lock(m_mutex);
        if (m_out)
            m_out->closePort();
        m_out.reset();
    }

private:
    std::mutex m_mutex;
    std::unique_ptr<RtMidiOut> m_out;
};

} // namespace

std::vector<MidiDeviceInfo> listMidiPorts()
{
    std::vector<MidiDeviceInfo> ports;
    if (auto out = connect()) {
        const unsigned count = out->getPortCount();
        for (unsigned i = 0; i < count; ++i)
            ports.push_back({int(i), out->getPortName(i)});
    }
    return ports;
}

std::unique_ptr<MidiOutput> openMidiPort(int id)
{
    auto out = connect();
    if (!out || id < 0 || unsigned(id) >= out->getPortCount())
        return nullptr;
    out->openPort(unsigned(id), std::string(kClientName) + " Output");
    if (!out->isPortOpen())
        return nullptr;
    return std::make_unique<MidiPort>(std::move(out));
}
