#include "import/character_references.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr uint32_t kLastCharacter = 0x10FFFF;

void appendUtf8(std::string& out, uint32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

const char* markupEntity(uint32_t c)
{
    switch (c) {
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '&': return "&amp;";
    case '"': return "&quot;";
    case '\'': return "&apos;";
    default: return nullptr;
    }
}

int digitValue(char c, int base)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (base == 16 && c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads the reference at text[at] ("&#…;"); the index just past it, or at
// when it is not a complete reference.
size_t readReference(const std::string& text, size_t at, uint32_t& c)
{
    size_t i = at + 2;
    int base = 10;
    if (i < text.size() && (text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    }
    uint64_t value = 0;
    const size_t digits = i;
    for (int d; i < text.size() && (d = digitValue(text[i], base)) >= 0; ++i)
        value = std::min<uint64_t>(value * uint64_t(base) + uint64_t(d), uint64_t(kLastCharacter) + 1);
    if (i == digits || i >= text.size() || text[i] != ';')
        return at;
    c = uint32_t(value);
    return i + 1;
}

bool isCharacter(uint32_t c) { return c != 0 && c <= kLastCharacter && (c < 0xD800 || c > 0xDFFF); }

} // namespace

void decodeCharacterReferences(std::string& text)
{
    size_t at = text.find("&#");
    if (at == std::string::npos)
        return;
    std::string out;
    out.reserve(text.size());
    size_t copied = 0;
    for (; at != std::string::npos; at = text.find("&#", at)) {
        uint32_t c = 0;
        const size_t end = readReference(text, at, c);
        if (end == at) {
            at += 2;
            continue;
        }
        out.append(text, copied, at - copied);
        if (const char* entity = markupEntity(c))
            out += entity;
        else if (isCharacter(c))
            appendUtf8(out, c);
        copied = at = end;
    }
    out.append(text, copied, std::string::npos);
    text.swap(out);
}
