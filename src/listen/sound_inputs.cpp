#include "listen/sound_inputs.h"

#include "listen/microphone_input.h"

#include <QMediaDevices>

std::vector<SoundInputDevice> SystemSoundInputs::list()
{
    std::vector<SoundInputDevice> devices{{QString(), QStringLiteral("Default input")}};
    for (const QAudioDevice& device : QMediaDevices::audioInputs())
        devices.push_back({QString::fromUtf8(device.id()), device.description()});
    return devices;
}

std::unique_ptr<SoundInput> SystemSoundInputs::open(const QString& id)
{
    QAudioDevice chosen = QMediaDevices::defaultAudioInput();
    for (const QAudioDevice& device : QMediaDevices::audioInputs())
        if (!id.isEmpty() && QString::fromUtf8(device.id()) == id)
            chosen = device;
    if (chosen.isNull())
        return nullptr;
    return std::make_unique<MicrophoneInput>(chosen);
}
