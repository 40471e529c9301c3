#include "import/smf_rewrite.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr size_t kChunkHead = 8;
constexpr size_t kHeaderLength = 6;
constexpr unsigned char kMeta = 0xFF;
constexpr unsigned char kEndOfTrack = 0x2F;
constexpr unsigned char kCopyright = 0x02;
constexpr unsigned char kTrackName = 0x03;
constexpr unsigned char kInstrumentName = 0x04;
constexpr unsigned char kTempo = 0x51;
constexpr unsigned char kTimeSignature = 0x58;
// Later events are left out: a variable-length number holds no more than this.
constexpr uint64_t kLatestTick = 0x0FFFFFFF;
// Names and notices are cut to this many bytes: they only label the choice
// of a voice, and the reader grows its message buffer a little at a time.
constexpr uint32_t kLongestText = 1024;
constexpr int kAssumedTempo = 120;
constexpr int kMostTicks = 0x7FFF;

uint32_t read32(const unsigned char* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

void put32(std::vector<char>& out, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + size_t(i)] = char((v >> (24 - 8 * i)) & 0xFF);
}

bool named(const unsigned char* p, const char* name)
{
    return p[0] == name[0] && p[1] == name[1] && p[2] == name[2] && p[3] == name[3];
}

// Events written behind the end of a vector, straight into its bytes: a
// file holds tens of thousands of them. finish() cuts the vector to them.
class EventWriter {
public:
    EventWriter(std::vector<char>& out, size_t expected) : m_out(out), m_used(out.size())
    {
        m_out.resize(m_used + expected);
    }

    // The delta time as a variable-length number (at most four bytes below
    // kLatestTick), then the event's bytes: two or more.
    void write(uint32_t delta, const unsigned char* event, size_t size)
    {
        if (m_out.size() - m_used < size + 4)
            m_out.resize(std::max(m_out.size() * 2, m_used + size + 4));
        char* p = m_out.data() + m_used;
        if (delta < 0x80) { // most events follow closely, nearly all within two bytes
            *p++ = char(delta);
        } else if (delta < 0x4000) {
            *p++ = char(0x80 | delta >> 7);
            *p++ = char(delta & 0x7F);
        } else {
            unsigned char groups[5];
            int n = 0;
            do {
                groups[n++] = delta & 0x7F;
                delta >>= 7;
            } while (delta);
            while (n-- > 0)
                *p++ = char(groups[n] | (n > 0 ? 0x80 : 0));
        }
        if (size <= 3) { // a channel message, as most are: a general copy costs more
            p[0] = char(event[0]);
            p[1] = char(event[1]);
            if (size == 3)
                p[2] = char(event[2]);
        } else {
            std::memcpy(p, event, size);
        }
        m_used = size_t(p - m_out.data()) + size;
    }

    void finish() { m_out.resize(m_used); }

private:
    std::vector<char>& m_out;
    size_t m_used;
};

// Reads a variable-length number of at most four bytes at p, moving p.
bool readVariable(const unsigned char*& p, const unsigned char* end, uint32_t& value)
{
    value = 0;
    for (int i = 0; i < 4 && p < end; ++i) {
        const unsigned char byte = *p++;
        value = value << 7 | (byte & 0x7F);
        if (!(byte & 0x80))
            return true;
    }
    return false;
}

int dataBytes(unsigned char status) { return (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2; }

// The meta events the importer reads, in the form the library expects of
// them; it trusts their lengths and values.
bool keptMeta(unsigned char type, const unsigned char* data, uint32_t length)
{
    switch (type) {
    case kCopyright:
    case kTrackName:
    case kInstrumentName:
        return true;
    case kTempo:
        return length == 3;
    case kTimeSignature:
        return length == 4 && data[0] >= 1 && data[1] <= 6;
    default:
        return false;
    }
}

bool isText(unsigned char type) { return type == kCopyright || type == kTrackName || type == kInstrumentName; }

// A text meta event cut to kLongestText bytes, not inside a UTF-8 sequence,
// into event; its size.
size_t shortenedText(unsigned char type, const unsigned char* text, uint32_t length,
                     unsigned char (&event)[4 + kLongestText])
{
    uint32_t cut = std::min(length, kLongestText);
    if (cut < length)
        while (cut > 0 && (text[cut] & 0xC0) == 0x80)
            --cut;
    event[0] = kMeta;
    event[1] = type;
    event[2] = (unsigned char)(0x80 | cut >> 7);
    event[3] = (unsigned char)(cut & 0x7F);
    std::memcpy(event + 4, text, cut);
    return 4 + cut;
}

bool keptChannelMessage(unsigned char status)
{
    const unsigned char kind = status & 0xF0;
    return kind == 0x80 || kind == 0x90 || kind == 0xC0;
}

// One track's events, written plainly behind out's end: the notes, program
// changes and the meta events the importer reads, each with its own status
// byte, their times kept. False when the events do not hold together. A
// track cut short ends where its bytes do: an event they cut off is left
// out, the track's time kept up to it.
bool rewriteTrack(const unsigned char* p, const unsigned char* end, bool cutShort, std::vector<char>& out)
{
    unsigned char running = 0;
    uint64_t delta = 0; // since the last event written
    uint64_t time = 0;
    // Events seldom grow: only those that shared a running status.
    EventWriter writer(out, size_t(end - p) + 4);
    const auto write = [&](const unsigned char* event, size_t size) {
        writer.write(uint32_t(delta), event, size);
        delta = 0;
    };
    const auto close = [&] {
        const unsigned char endOfTrack[] = {kMeta, kEndOfTrack, 0};
        write(endOfTrack, sizeof endOfTrack);
        writer.finish();
        return true;
    };
    // The bytes ran out inside an event.
    const auto ranOut = [&] { return cutShort && close(); };
    while (p < end) {
        uint32_t step = 0, length = 0;
        if (!readVariable(p, end, step) || p >= end)
            return p >= end && ranOut();
        delta += step;
        time += step;
        if (time > kLatestTick)
            break;
        if (*p < 0xF0) { // a channel message, with its status or running on, as most events are
            if (*p & 0x80)
                running = *p++;
            else if (!running)
                return false;
            const int count = dataBytes(running);
            if (end - p < count)
                return ranOut();
            if ((p[0] & 0x80) || (count == 2 && (p[1] & 0x80)))
                return false;
            if (keptChannelMessage(running)) {
                const unsigned char message[3] = {running, p[0], count == 2 ? p[1] : (unsigned char)0};
                write(message, size_t(1 + count));
            }
            p += count;
            continue;
        }
        const unsigned char* start = p;
        const unsigned char first = *p++;
        if (first == kMeta || first == 0xF0 || first == 0xF7) {
            if (first == kMeta && p >= end)
                return ranOut();
            const unsigned char type = first == kMeta ? *p++ : 0;
            if (!readVariable(p, end, length))
                return p >= end && ranOut();
            if (length > size_t(end - p))
                return ranOut();
            p += length;
            running = 0; // meta and system exclusive events end a running status
            if (type == kEndOfTrack)
                break; // nothing after it counts
            if (first != kMeta || !keptMeta(type, p - length, length))
                continue;
            if (isText(type) && length > kLongestText) {
                unsigned char shortened[4 + kLongestText];
                write(shortened, shortenedText(type, p - length, length, shortened));
            } else {
                write(start, size_t(p - start));
            }
            continue;
        }
        return false; // no other system message belongs in a file
    }
    delta = 0;
    return close();
}

uint16_t ticksPerQuarter(unsigned char high, unsigned char low)
{
    if (!(high & 0x80))
        return uint16_t(high << 8 | low);
    const int frames = 256 - high;
    return uint16_t(std::clamp(frames * low * 60 / kAssumedTempo, 1, kMostTicks));
}

} // namespace

bool rewriteMidiPlainly(const unsigned char* bytes, size_t size, std::vector<char>& out)
{
    out.clear();
    if (size < kChunkHead + kHeaderLength || !named(bytes, "MThd"))
        return false;
    const uint32_t headerLength = read32(bytes + 4);
    if (headerLength < kHeaderLength || headerLength > size - kChunkHead)
        return false;
    const unsigned format = unsigned(bytes[8]) << 8 | bytes[9];
    const unsigned stated = unsigned(bytes[10]) << 8 | bytes[11];
    const uint16_t ticks = ticksPerQuarter(bytes[12], bytes[13]);
    if (format > 1 || stated == 0 || ticks == 0)
        return false;
    out.reserve(size + stated * 4 + 16);
    out.insert(out.end(), {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, char(format), 0, 0, char(ticks >> 8), char(ticks & 0xFF)});
    unsigned tracks = 0;
    for (size_t at = kChunkHead + headerLength; tracks < stated && size - at >= kChunkHead;) {
        uint32_t length = read32(bytes + at + 4);
        // The last track cut short is read as far as it goes, as players
        // read it; any other chunk must hold what its header says.
        const bool cutShort = length > size - at - kChunkHead;
        const bool track = named(bytes + at, "MTrk");
        if (cutShort && !(track && tracks + 1 == stated))
            return false;
        if (cutShort)
            length = uint32_t(size - at - kChunkHead);
        const unsigned char* body = bytes + at + kChunkHead;
        if (track) {
            const size_t head = out.size();
            out.insert(out.end(), {'M', 'T', 'r', 'k', 0, 0, 0, 0});
            if (!rewriteTrack(body, body + length, cutShort, out))
                return false;
            put32(out, head + 4, uint32_t(out.size() - head - kChunkHead));
            ++tracks;
        }
        at += kChunkHead + length;
    }
    if (tracks == 0)
        return false;
    out[10] = char(tracks >> 8);
    out[11] = char(tracks & 0xFF);
    return true;
}
