#include "play/midi_output.h"

std::vector<unsigned char> midiMessageBytes(MidiMessage message)
{
    const int status = midiStatus(message);
    if (status < 0x80 || status >= 0xF0)
        return {};
    const unsigned char d1 = (unsigned char)midiData1(message);
    const unsigned char d2 = (unsigned char)midiData2(message);
    const int kind = status & 0xF0;
    if (kind == 0xC0 || kind == 0xD0)
        return {(unsigned char)status, d1};
    return {(unsigned char)status, d1, d2};
}

void MidiOutput::reset()
{
    constexpr int kAllNotesOff = 123;
    for (int channel = 0; channel < 16; ++channel)
        send(midiMessage(0xB0 | channel, kAllNotesOff, 0));
}
