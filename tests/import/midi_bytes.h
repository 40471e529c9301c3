#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Standard MIDI Files made in code for the tests.

struct MidiEvent {
    uint32_t tick = 0; // absolute
    std::vector<uint8_t> bytes;
};
using MidiTrack = std::vector<MidiEvent>;

// A note as the tests write it: key, start and length in ticks.
struct TestNote {
    int key;
    uint32_t start;
    uint32_t length;
};

MidiEvent tempoEvent(uint32_t tick, uint32_t microsPerQuarter);
MidiEvent meterEvent(uint32_t tick, int beats, int unitPower);
MidiEvent textEvent(uint32_t tick, uint8_t type, const std::string& text);
MidiEvent programEvent(uint32_t tick, int channel, int program);
// Note-on and note-off events of the notes on channel.
MidiTrack noteEvents(const std::vector<TestNote>& notes, int channel = 0);

// The file: header, then each track's events in time order (stable), each
// track closed by its end-of-track event.
std::vector<char> midiFile(int format, int ticksPerQuarter, const std::vector<MidiTrack>& tracks);
