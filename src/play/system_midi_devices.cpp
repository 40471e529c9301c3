#include "play/system_midi_devices.h"

#include "play/builtin_synth.h"
#include "play/kept_synth.h"
#include "play/midi_ports.h"
#include "play/midi_recorder.h"

#include <cstdlib>

std::vector<MidiDeviceInfo> SystemMidiDevices::list()
{
    std::vector<MidiDeviceInfo> devices{{-1, kBuiltInSynthName}};
    for (MidiDeviceInfo& port : listMidiPorts())
        devices.push_back(std::move(port));
    return devices;
}

SystemMidiDevices::~SystemMidiDevices()
{
    KeptSynth::builtIn().close();
}

std::unique_ptr<MidiOutput> SystemMidiDevices::open(int id)
{
    if (id != -1)
        KeptSynth::builtIn().close();
    std::unique_ptr<MidiOutput> device = id == -1 ? openBuiltInSynth() : openMidiPort(id);
    return withMidiLog(std::move(device), std::getenv("ZOLVA_MIDI_LOG"));
}

std::unique_ptr<MidiOutput> withMidiLog(std::unique_ptr<MidiOutput> device, const char* logFile)
{
    if (!device || !logFile || !*logFile)
        return device;
    if (std::unique_ptr<MidiRecorder> logged = MidiRecorder::logging(device, logFile))
        return logged;
    return device;
}
