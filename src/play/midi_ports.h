#pragma once

#include "play/midi_output.h"

#include <memory>
#include <vector>

// The system's MIDI output ports (ALSA sequencer on Linux, the multimedia
// API on Windows) with ids 0 … N-1 in the system's order. Without a MIDI
// system there are simply no ports.
std::vector<MidiDeviceInfo> listMidiPorts();

// Opens port id; null when it is absent or busy.
std::unique_ptr<MidiOutput> openMidiPort(int id);
