#include "play/smf_writer.h"

#include "play/performance_render.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <set>
#include <utility>

namespace {

constexpr int64_t kLongestSmfTempo = 0xFFFFFF; // µs per quarter in three bytes

// Performance time to ticks, by the tempos: ticks follow the beats, so the
// file shows the music's bars while it plays at the performance's times.
class TickMap {
public:
    explicit TickMap(const std::vector<PerformanceTempo>& tempos) : m_tempos(tempos) {}

    int64_t ticksAt(int64_t micros) const
    {
        double ticks = 0;
        int64_t from = 0;
        int64_t perQuarter = 500000;
        for (const PerformanceTempo& change : m_tempos) {
            if (change.micros > micros)
                break;
            ticks += double(change.micros - from) * kSmfTicksPerQuarter / double(perQuarter);
            from = change.micros;
            perQuarter = smfTempo(change);
        }
        ticks += double(micros - from) * kSmfTicksPerQuarter / double(perQuarter);
        return std::llround(ticks);
    }
    static int64_t smfTempo(const PerformanceTempo& change)
    {
        return std::clamp<int64_t>(change.microsPerQuarter, 1, kLongestSmfTempo);
    }

private:
    const std::vector<PerformanceTempo>& m_tempos;
};

class TrackBytes {
public:
    void event(int64_t tick, std::initializer_list<int> bytes)
    {
        putNumber(std::max<int64_t>(tick - m_tick, 0));
        m_tick = std::max(tick, m_tick);
        for (int b : bytes)
            m_bytes.push_back(char(b));
    }
    void end(int64_t tick) { event(tick, {0xFF, 0x2F, 0x00}); }
    std::string chunk() const { return "MTrk" + bigEndian(uint32_t(m_bytes.size()), 4) + m_bytes; }

    static std::string bigEndian(uint32_t value, int size)
    {
        std::string out;
        for (int i = size - 1; i >= 0; --i)
            out.push_back(char(value >> (8 * i) & 0xFF));
        return out;
    }

private:
    void putNumber(int64_t value)
    {
        // Seven bits a byte, most significant first, the high bit on all but the last.
        uint32_t v = uint32_t(std::min<int64_t>(value, 0x0FFFFFFF));
        std::string reversed(1, char(v & 0x7F));
        while (v >>= 7)
            reversed.push_back(char(0x80 | (v & 0x7F)));
        m_bytes.append(reversed.rbegin(), reversed.rend());
    }

    std::string m_bytes;
    int64_t m_tick = 0;
};

std::string tempoTrack(const Performance& performance, const TickMap& ticks)
{
    TrackBytes track;
    int64_t last = -1;
    for (const PerformanceTempo& change : performance.tempos) {
        const int64_t tempo = TickMap::smfTempo(change);
        if (tempo == last)
            continue;
        last = tempo;
        track.event(ticks.ticksAt(change.micros), {0xFF, 0x51, 0x03, int(tempo >> 16 & 0xFF), int(tempo >> 8 & 0xFF),
                                                   int(tempo & 0xFF)});
    }
    track.end(ticks.ticksAt(performance.length));
    return track.chunk();
}

std::string noteTrack(const Performance& performance, const TickMap& ticks)
{
    constexpr int kNoteOff = 0x80, kNoteOn = 0x90, kProgramChange = 0xC0;
    TrackBytes track;
    std::set<std::pair<int, int>> sounding; // channel, key
    std::array<int, 16> programs;
    programs.fill(-1);
    for (const RecordedMidiMessage& recorded : performance.messages) {
        const MidiMessage m = recorded.message;
        const int kind = midiStatus(m) & 0xF0, channel = midiStatus(m) & 0x0F;
        const int64_t tick = ticks.ticksAt(recorded.micros);
        if (kind == kProgramChange) {
            if (std::exchange(programs[size_t(channel)], midiData1(m)) != midiData1(m))
                track.event(tick, {midiStatus(m), midiData1(m)});
            continue;
        }
        if (kind == kNoteOn || kind == kNoteOff) {
            const std::pair<int, int> key{channel, midiData1(m)};
            const bool wasSounding = sounding.erase(key) != 0;
            if (kind == kNoteOn && midiData2(m) > 0) {
                if (wasSounding)
                    track.event(tick, {kNoteOff | channel, key.second, 0});
                sounding.insert(key);
            } else if (!wasSounding) {
                continue;
            }
        }
        const std::vector<unsigned char> bytes = midiMessageBytes(m);
        if (bytes.size() == 3)
            track.event(tick, {bytes[0], bytes[1], bytes[2]});
        else if (bytes.size() == 2)
            track.event(tick, {bytes[0], bytes[1]});
    }
    // Playback silences every sounding key at its end; should it not have, the file does.
    for (const auto& [channel, key] : sounding)
        track.event(ticks.ticksAt(performance.length), {kNoteOff | channel, key, 0});
    track.end(ticks.ticksAt(performance.length));
    return track.chunk();
}

} // namespace

std::string standardMidiFile(const Performance& performance)
{
    const TickMap ticks(performance.tempos);
    const std::string header = "MThd" + TrackBytes::bigEndian(6, 4) + TrackBytes::bigEndian(1, 2) +
                               TrackBytes::bigEndian(2, 2) + TrackBytes::bigEndian(kSmfTicksPerQuarter, 2);
    return header + tempoTrack(performance, ticks) + noteTrack(performance, ticks);
}
