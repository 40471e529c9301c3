#pragma once

#include "listen/pluck_detector.h"
#include "listen/sound_input.h"
#include "listen/tuner.h"

#include <QObject>

#include <memory>
#include <mutex>

class SoundInput;
class SoundInputs;

// Appends line to the file ZOLVA_LISTEN_LOG names, if any: what the
// listening made of the sound (never the sound), for tests from outside.
void appendToListenLog(const QString& line);

// The microphone while the tuner listens, and only then: the input named by
// "ListenDevice" opens when the tuner starts and closes when it stops. The
// sound is analysed on the input's own thread; readings come back to the
// user-interface thread as signals. Nothing heard is kept or written; when
// ZOLVA_LISTEN_LOG names a file, the readings (never the sound) are appended
// to it, one line each: "MICROS tuner TINE CENTS HZ".
class Listening : public QObject {
    Q_OBJECT
public:
    explicit Listening(SoundInputs& inputs, QObject* parent = nullptr);
    ~Listening() override;

    bool isListening() const { return m_input != nullptr; }
    // Opens the input and listens for tuning; false when no input opens.
    bool startTuner(const TineTuning& tuning);
    // Opens the input and listens for plucks of tuning's tines.
    bool startPlayAlong(const TineTuning& tuning);
    // The tuning listened for from the next block on (another document, another reference).
    void setTuning(const TineTuning& tuning);
    // Closes the input.
    void stop();

signals:
    // A steady reading, and every tine's last reading in cents (NaN: not heard).
    void tunerRead(const TunerReading& reading, const std::vector<double>& tineCents);
    // Tines plucked, micros after listening began.
    void plucked(const std::vector<int>& tines, int64_t micros);
    void listeningChanged(bool listening);

private:
    // Opens the input and hands its blocks to analysis on its thread.
    bool start(const std::function<SoundInput::Blocks(int sampleRate)>& analysis);

    SoundInputs& m_inputs;
    std::unique_ptr<SoundInput> m_input;
    std::mutex m_mutex; // the tuning asked for, read on the input's thread
    std::unique_ptr<TineTuning> m_newTuning;
};
