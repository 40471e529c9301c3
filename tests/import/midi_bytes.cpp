#include "midi_bytes.h"

#include <algorithm>

namespace {

void put32(std::vector<char>& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(char((v >> shift) & 0xFF));
}

void putVariable(std::vector<char>& out, uint32_t v)
{
    uint8_t groups[5];
    int n = 0;
    do {
        groups[n++] = uint8_t(v & 0x7F);
        v >>= 7;
    } while (v);
    while (n-- > 0)
        out.push_back(char(groups[n] | (n > 0 ? 0x80 : 0)));
}

MidiEvent meta(uint32_t tick, uint8_t type, const std::vector<uint8_t>& data)
{
    std::vector<char> length;
    putVariable(length, uint32_t(data.size()));
    MidiEvent event{tick, {}};
    event.bytes.reserve(2 + length.size() + data.size()); // one block: GCC 12 misreads a growing insert
    event.bytes = {0xFF, type};
    event.bytes.insert(event.bytes.end(), length.begin(), length.end());
    event.bytes.insert(event.bytes.end(), data.begin(), data.end());
    return event;
}

} // namespace

MidiEvent tempoEvent(uint32_t tick, uint32_t micros)
{
    return meta(tick, 0x51, {uint8_t(micros >> 16), uint8_t(micros >> 8), uint8_t(micros)});
}

MidiEvent meterEvent(uint32_t tick, int beats, int unitPower)
{
    return meta(tick, 0x58, {uint8_t(beats), uint8_t(unitPower), 24, 8});
}

MidiEvent textEvent(uint32_t tick, uint8_t type, const std::string& text)
{
    return meta(tick, type, std::vector<uint8_t>(text.begin(), text.end()));
}

MidiEvent programEvent(uint32_t tick, int channel, int program)
{
    return {tick, {uint8_t(0xC0 | channel), uint8_t(program)}};
}

MidiTrack noteEvents(const std::vector<TestNote>& notes, int channel)
{
    MidiTrack track;
    for (const TestNote& n : notes) {
        track.push_back({n.start, {uint8_t(0x90 | channel), uint8_t(n.key), 100}});
        track.push_back({n.start + n.length, {uint8_t(0x80 | channel), uint8_t(n.key), 0}});
    }
    return track;
}

std::vector<char> midiFile(int format, int ticksPerQuarter, const std::vector<MidiTrack>& tracks)
{
    std::vector<char> out = {'M', 'T', 'h', 'd'};
    put32(out, 6);
    for (int v : {format, int(tracks.size()), ticksPerQuarter}) {
        out.push_back(char((v >> 8) & 0xFF));
        out.push_back(char(v & 0xFF));
    }
    for (MidiTrack track : tracks) {
        // Offs before ons at the same tick, as players write them.
        std::stable_sort(track.begin(), track.end(), [](const MidiEvent& a, const MidiEvent& b) {
            if (a.tick != b.tick)
                return a.tick < b.tick;
            return (a.bytes[0] & 0xF0) == 0x80 && (b.bytes[0] & 0xF0) != 0x80;
        });
        std::vector<char> body;
        uint32_t now = 0;
        for (const MidiEvent& event : track) {
            putVariable(body, event.tick - now);
            now = event.tick;
            body.insert(body.end(), event.bytes.begin(), event.bytes.end());
        }
        body.insert(body.end(), {0, char(0xFF), 0x2F, 0});
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        put32(out, uint32_t(body.size()));
        out.insert(out.end(), body.begin(), body.end());
    }
    return out;
}
