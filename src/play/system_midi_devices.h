#pragma once

#include "play/midi_output.h"

#include <memory>

// The devices of this machine: the built-in synthesizer (-1) and the MIDI ports.
class SystemMidiDevices : public MidiDevices {
public:
    // The built-in synthesizer kept since its last close really closes.
    ~SystemMidiDevices() override;
    std::vector<MidiDeviceInfo> list() override;
    // The open device, logged when ZOLVA_MIDI_LOG names a file. A port really
    // closes the built-in synthesizer kept since its last close.
    std::unique_ptr<MidiOutput> open(int id) override;
};

// Wraps device in a recorder that appends every message to the file that
// logFile names (the value of ZOLVA_MIDI_LOG); device itself when logFile is
// null or empty, or when the file cannot be opened.
std::unique_ptr<MidiOutput> withMidiLog(std::unique_ptr<MidiOutput> device, const char* logFile);
