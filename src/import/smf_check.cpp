#include "import/smf_check.h"

#include <cstdint>

namespace {

constexpr size_t kChunkHead = 8;
constexpr size_t kHeaderLength = 6;

uint32_t read32(const unsigned char* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

bool named(const unsigned char* p, const char* name)
{
    return p[0] == name[0] && p[1] == name[1] && p[2] == name[2] && p[3] == name[3];
}

// Reads a variable-length number of at most four bytes at p, moving p.
bool readVariable(const unsigned char*& p, const unsigned char* end, uint32_t& value)
{
    value = 0;
    for (int i = 0; i < 4; ++i) {
        if (p >= end)
            return false;
        const unsigned char byte = *p++;
        value = value << 7 | (byte & 0x7F);
        if (!(byte & 0x80))
            return true;
    }
    return false;
}

bool skip(const unsigned char*& p, const unsigned char* end, uint32_t count)
{
    if (size_t(end - p) < count)
        return false;
    p += count;
    return true;
}

int dataBytes(unsigned char status) { return (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2; }

bool trackHoldsTogether(const unsigned char* p, const unsigned char* end)
{
    unsigned char running = 0;
    while (p < end) {
        uint32_t delta = 0, length = 0;
        if (!readVariable(p, end, delta) || p >= end)
            return false;
        const unsigned char first = *p;
        if (first == 0xFF) {
            if (!skip(p, end, 2) || !readVariable(p, end, length) || !skip(p, end, length))
                return false;
        } else if (first == 0xF0 || first == 0xF7) {
            if (!skip(p, end, 1) || !readVariable(p, end, length) || !skip(p, end, length))
                return false;
        } else if (first >= 0xF0) {
            return false; // no other system message belongs in a file
        } else {
            if (first & 0x80) {
                running = first;
                ++p;
            } else if (!running) {
                return false;
            }
            for (int i = 0; i < dataBytes(running); ++i)
                if (p >= end || (*p++ & 0x80))
                    return false;
        }
    }
    return true;
}

} // namespace

bool smfHoldsTogether(const unsigned char* bytes, size_t size)
{
    if (size < kChunkHead + kHeaderLength || !named(bytes, "MThd"))
        return false;
    const uint32_t headerLength = read32(bytes + 4);
    if (headerLength < kHeaderLength || headerLength > size - kChunkHead)
        return false;
    const unsigned format = unsigned(bytes[8]) << 8 | bytes[9];
    const unsigned tracks = unsigned(bytes[10]) << 8 | bytes[11];
    const unsigned division = unsigned(bytes[12]) << 8 | bytes[13];
    if (format > 2 || tracks == 0 || division == 0)
        return false;
    unsigned found = 0;
    for (size_t at = kChunkHead + headerLength; found < tracks && size - at >= kChunkHead;) {
        const uint32_t length = read32(bytes + at + 4);
        if (length > size - at - kChunkHead)
            return false;
        const unsigned char* body = bytes + at + kChunkHead;
        if (named(bytes + at, "MTrk")) {
            if (!trackHoldsTogether(body, body + length))
                return false;
            ++found;
        }
        at += kChunkHead + length;
    }
    return found == tracks;
}
