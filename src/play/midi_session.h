#pragma once

#include "play/midi_output.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class HoldingOutput;
class MessageSink;

// The one MIDI output of the program with the device and instrument chosen
// in the settings and the mute flag. Only the user-interface thread opens,
// closes and restarts it; playback threads read midiOut(), midiInstrument()
// and mute() at any time. A restart (Stop's close and reopen, which a sound
// server can take seconds over) runs on the session's own thread.
class MidiSession {
public:
    static constexpr int kDefaultDevice = -1;    // the built-in synthesizer
    static constexpr int kDefaultInstrument = 9; // General MIDI "Celesta"

    // Runs a call on the user-interface thread, later; null runs it at once.
    using UiPost = std::function<void(std::function<void()>)>;

    MidiSession(MessageSink& messages, MidiDevices& devices);
    // Waits for a restart under way, then closes the output if it is still open.
    ~MidiSession();

    // Where the session's thread sends what must be said (a failed reopen).
    void setUiPost(UiPost post) { m_uiPost = std::move(post); }

    // Reads "MidiDevice" and "MidiInstrument" and opens that device at full
    // volume. When it cannot be opened, keeps the output it had and returns
    // false, saying "Unable to open MIDI Output.\n" unless the same device
    // failed the time before (every Stop reopens it).
    bool OpenMidiOutput();
    // The next failure is said even for the device that failed last: the
    // user has just chosen it again.
    void sayNextFailure();
    // Silences every sounding note and closes the output.
    void CloseMidiOutput();
    // Silences, closes and opens the output again as OpenMidiOutput does, on
    // the session's thread: returns at once. Meanwhile midiOut() keeps what
    // is sent for the opened output (HoldingOutput). Restarts asked for
    // before one begins make one.
    void restartOutput();
    // Returns once no restart is asked for or under way.
    void waitForOutput();
    // While wanted, every output opened readies the metronome's drum kit,
    // and so does the open one when it becomes wanted.
    void setDrumsWanted(bool wanted);
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
    bool openDevice(int device, int instrument, std::shared_ptr<MidiOutput>& opened);
    void sayFailure(int device);
    void restartLoop();

    MessageSink& m_messages;
    MidiDevices& m_devices;
    std::atomic<int> m_midiDevice{kDefaultDevice};
    std::atomic<int> m_midiInstrument{kDefaultInstrument};
    std::atomic<int> m_mute{0};
    std::atomic<bool> m_drumsWanted{false};
    mutable std::mutex m_outMutex; // guards the handle, not the sending
    std::shared_ptr<MidiOutput> m_midiOut;
    std::optional<int> m_failedDevice; // the device of the last open, if it failed; under m_outMutex

    // The restart: asked for by the user-interface thread, done by m_worker.
    UiPost m_uiPost;
    std::shared_ptr<void> m_alive = std::make_shared<int>(0); // for what m_uiPost runs later
    const std::thread::id m_uiThread = std::this_thread::get_id();
    std::mutex m_restartMutex;
    std::condition_variable m_restartChanged;
    bool m_restartWanted = false;
    bool m_restarting = false;
    bool m_quit = false;
    std::shared_ptr<MidiOutput> m_closing;      // the output the next restart closes
    std::shared_ptr<HoldingOutput> m_holding;   // midiOut() until the restart opens one
    std::thread m_worker;
};
