#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A MIDI short message packed as one value: status in bits 0-7, first data
// byte in bits 8-15, second data byte in bits 16-23.
using MidiMessage = uint32_t;

// Packs a short message. Data bytes keep their low 7 bits so that a bad key
// or program number can never pass for a status byte on the wire.
constexpr MidiMessage midiMessage(int status, int data1, int data2)
{
    return MidiMessage(status & 0xFF) | MidiMessage(data1 & 0x7F) << 8 | MidiMessage(data2 & 0x7F) << 16;
}
constexpr int midiStatus(MidiMessage m) { return int(m & 0xFF); }
constexpr int midiData1(MidiMessage m) { return int(m >> 8 & 0xFF); }
constexpr int midiData2(MidiMessage m) { return int(m >> 16 & 0xFF); }

// The bytes a device receives for a message: two for program change and
// channel pressure, three for the other channel messages, none for anything
// that is not a channel message.
std::vector<unsigned char> midiMessageBytes(MidiMessage message);

// "Volume full" on both channels: left in the low 16 bits, right in the high.
constexpr uint32_t kMidiVolumeFull = 0xFFFFFFFF;

// One entry of the device list: -1 is the built-in synthesizer, 0 … N-1 the
// system's MIDI ports.
struct MidiDeviceInfo {
    int id = -1;
    std::string name;
};

// An open MIDI output device. Sends may come from several threads at once;
// after close() every call does nothing.
class MidiOutput {
public:
    virtual ~MidiOutput() = default;

    // Sets the device volume (left in the low 16 bits, right in the high).
    virtual void setVolume(uint32_t volume) = 0;
    // Sends one short message; failures are ignored, as for any send.
    virtual void send(MidiMessage message) = 0;
    // Releases the device. Safe to call twice.
    virtual void close() = 0;
    // The program (0-127) the coming notes will ask for, so that a device
    // that loads its sounds can have them ready before the first note. Sends
    // nothing.
    virtual void prepareProgram(int /*program*/) {}
    // The metronome's drum kit, to be ready before its first click. Sends nothing.
    virtual void prepareDrums() {}

    // Silences every sounding note: all-notes-off on each of the 16 channels.
    void reset();
};

// Which devices exist and how to open one. The program uses the system's;
// tests bring their own.
class MidiDevices {
public:
    virtual ~MidiDevices() = default;
    // The built-in synthesizer first, then the ports in the system's order.
    virtual std::vector<MidiDeviceInfo> list() = 0;
    // The open device, or null when it is absent, busy or cannot sound.
    virtual std::unique_ptr<MidiOutput> open(int id) = 0;
};
