#pragma once

#include "play/midi_output.h"
#include "play/play_clock.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct RecordedMidiMessage {
    int64_t micros = 0; // the recorder's clock when the message was sent
    MidiMessage message = 0;
};

// Keeps every message sent to it with its time stamp. Given a device, it also
// passes each message on to it; given a log file, it appends one line per
// message ("MICROS SS D1 D2", bytes in hex) instead of keeping them, so a
// long session does not grow in memory.
class MidiRecorder : public MidiOutput {
public:
    // Stamps messages with midiClockMicros().
    MidiRecorder() = default;
    // Stamps messages with clock's time, which must outlive the recorder.
    explicit MidiRecorder(PlayClock& clock) : m_clock(&clock) {}
    // Takes device (may be null), passes messages on to it and logs them to
    // logFile. Null, leaving device alone, when the log file cannot be opened
    // for appending.
    static std::unique_ptr<MidiRecorder> logging(std::unique_ptr<MidiOutput>& device,
                                                 const std::string& logFile);
    ~MidiRecorder() override;

    void setVolume(uint32_t volume) override;
    void send(MidiMessage message) override;
    void close() override;
    void prepareProgram(int program) override;

    std::vector<RecordedMidiMessage> messages() const;
    uint32_t volume() const;
    bool isClosed() const;
    int preparedProgram() const; // -1 until prepareProgram()

private:
    mutable std::mutex m_mutex;
    std::vector<RecordedMidiMessage> m_messages;
    std::unique_ptr<MidiOutput> m_device;
    std::FILE* m_log = nullptr;
    PlayClock* m_clock = nullptr;
    uint32_t m_volume = 0;
    int m_preparedProgram = -1;
    bool m_closed = false;
};
