#pragma once

#include "listen/sound_input.h"

#include <QString>

#include <memory>
#include <vector>

struct SoundInputDevice {
    QString id; // empty: the system's default input
    QString name;
};

// The inputs that can be listened to. The program has the system's; tests
// bring files.
class SoundInputs {
public:
    virtual ~SoundInputs() = default;
    // The system's default first (its id empty), then every input.
    virtual std::vector<SoundInputDevice> list() = 0;
    // The input with id, or the default for an id no input has; null when
    // there is none. Nothing listens until it starts.
    virtual std::unique_ptr<SoundInput> open(const QString& id) = 0;
};

// The machine's microphones and line inputs, through Qt Multimedia.
class SystemSoundInputs : public SoundInputs {
public:
    std::vector<SoundInputDevice> list() override;
    std::unique_ptr<SoundInput> open(const QString& id) override;
};
