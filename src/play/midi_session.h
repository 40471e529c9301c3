#pragma once

#include "play/midi_output.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

class MessageSink;

// The one MIDI output of the program with the device and instrument chosen
// in the settings and the mute flag. Only the user-interface thread opens and
// closes it; playback threads read midiOut(), midiInstrument() and mute() at
// any time.
class MidiSession {
public:
    static constexpr int kDefaultDevice = -1;    // the built-in synthesizer
    static constexpr int kDefaultInstrument = 9; // General MIDI "Celesta"

    MidiSession(MessageSink& messages, MidiDevices& devices);
    // Closes the output if it is still open.
    ~MidiSession();

    // Reads "MidiDevice" and "MidiInstrument" and opens that device at full
    // volume. When it cannot be opened, keeps the output it had and returns
    // false, saying "Unable to open MIDI Output.\n" unless the same device
    // failed the time before (every Stop reopens it).
    bool OpenMidiOutput();
    // The next failure is said even for the device that failed last: the
    // user has just chosen it again.
    void sayNextFailure() { m_failedDevice.reset(); }
    // Silences every sounding note and closes the output.
    void CloseMidiOutput();
    // Reads "Mute"; done once at start-up, after the first OpenMidiOutput.
    void readMute();

    int midiDevice() const { return m_midiDevice; }
    int midiInstrument() const { return m_midiInstrument; }
    int mute() const { return m_mute; }
    // The open output, or null. A caller that keeps it while the output is
    // closed sends into nothing, never into freed memory.
    std::shared_ptr<MidiOutput> midiOut() const;
    MidiDevices& devices() { return m_devices; }

private:
    MessageSink& m_messages;
    MidiDevices& m_devices;
    std::atomic<int> m_midiDevice{kDefaultDevice};
    std::atomic<int> m_midiInstrument{kDefaultInstrument};
    std::atomic<int> m_mute{0};
    mutable std::mutex m_outMutex; // guards the handle, not the sending
    std::shared_ptr<MidiOutput> m_midiOut;
    std::optional<int> m_failedDevice; // the device of the last open, if it failed
};
