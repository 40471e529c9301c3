#pragma once

#include "listen/sound_input.h"

#include <QAudioDevice>
#include <QAudioFormat>

#include <memory>

class QThread;

// A system input through Qt Multimedia's QAudioSource, read on a thread of its
// own: whatever format the device gives is turned into mono floats there, and
// the blocks are handed over on that thread.
class MicrophoneInput : public SoundInput {
public:
    explicit MicrophoneInput(const QAudioDevice& device);
    ~MicrophoneInput() override;

    int sampleRate() const override { return m_format.sampleRate(); }
    bool start(Blocks blocks) override;
    void stop() override;

private:
    QAudioDevice m_device;
    QAudioFormat m_format;
    std::unique_ptr<QThread> m_thread;
    QObject* m_reader = nullptr; // lives on m_thread
};
