#include "play/midi_recorder.h"

#include <chrono>
#include <cinttypes>

std::unique_ptr<MidiRecorder> MidiRecorder::logging(std::unique_ptr<MidiOutput>& device, const std::string& logFile)
{
    std::FILE* log = std::fopen(logFile.c_str(), "a");
    if (!log)
        return nullptr;
    auto recorder = std::make_unique<MidiRecorder>();
    recorder->m_device = std::move(device);
    recorder->m_log = log;
    return recorder;
}

MidiRecorder::~MidiRecorder()
{
    close();
}

void MidiRecorder::setVolume(uint32_t volume)
{
    std::lock_guard lock(m_mutex);
    if (m_closed)
        return;
    m_volume = volume;
    if (m_device)
        m_device->setVolume(volume);
}

void MidiRecorder::send(MidiMessage message)
{
    std::lock_guard lock(m_mutex);
    if (m_closed)
        return;
    const int64_t now = m_clock ? m_clock->now() : midiClockMicros();
    if (m_device)
        m_device->send(message);
    if (m_log) {
        std::fprintf(m_log, "%" PRId64 " %02X %02X %02X\n", now, midiStatus(message), midiData1(message),
                     midiData2(message));
        std::fflush(m_log); // the log is for finding faults, also those that end the program
    } else {
        m_messages.push_back({now, message});
    }
}

void MidiRecorder::close()
{
    std::lock_guard lock(m_mutex);
    if (m_closed)
        return;
    m_closed = true;
    if (m_device)
        m_device->close();
    if (m_log)
        std::fclose(m_log);
    m_log = nullptr;
}

void MidiRecorder::prepareProgram(int program)
{
    std::lock_guard lock(m_mutex);
    if (m_closed)
        return;
    m_preparedProgram = program;
    if (m_device)
        m_device->prepareProgram(program);
}

std::vector<RecordedMidiMessage> MidiRecorder::messages() const
{
    std::lock_guard lock(m_mutex);
    return m_messages;
}

uint32_t MidiRecorder::volume() const
{
    std::lock_guard lock(m_mutex);
    return m_volume;
}

bool MidiRecorder::isClosed() const
{
    std::lock_guard lock(m_mutex);
    return m_closed;
}

int MidiRecorder::preparedProgram() const
{
    std::lock_guard lock(m_mutex);
    return m_preparedProgram;
}
