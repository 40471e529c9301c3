#include "xml/xpxml_common_names.h"

#include <cstdint>
#include <cstring>

namespace {

// No two alike but for case: a name found without regard to case must be the
// only one it can be. One block, so that telling a shared copy from any other
// text is one range check.
constexpr char kNames[] =
    "Value\0Tines\0Text\0Type\0Timing\0Tuplet\0Beam\0Modifier\0Tie\0~Pos\0~Error\0~Pass\0"
    "Version\0Number\0NoteValues\0Shade\0Tails\0Title\0Author\0Arranger\0CopyRight\0Tempo\0"
    "Scale\0TineWidth\0TineLabels\0Lyrics\0BarNumbers\0CenterLine\0DrawFirstBar\0Measure\0"
    "MeasureSpacing\0MeasureSpacingSize\0NoteSpacing\0NoteSpacingSize\0CustomColor\0ShadeColor\0"
    "Sharps\0Flats\0RepeatCount\0ReadOnly\0VTines\0Bar\0Note\0Rest\0Notes\0Config\0Options\0"
    "PrintNotes\0MIDI\0Zolva\0ZolvaTemplate\0encoding\0standalone\0";

constexpr char fold(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

// Length and the outer letters tell the names apart well enough; a lookup
// must not cost more than the comparison it saves.
constexpr uint32_t hashOf(const char* name, size_t size)
{
    return uint32_t(size) * 37u + uint8_t(fold(name[0])) * 7u + uint8_t(fold(name[size - 1])) +
           uint8_t(fold(name[size / 2])) * 3u;
}

template <class Word>
bool sameWords(const char* a, const char* b, size_t at)
{
    Word x, y;
    std::memcpy(&x, a + at, sizeof x);
    std::memcpy(&y, b + at, sizeof y);
    return x == y;
}

// memcmp for names of up to 24 bytes, in a few overlapping word loads
// rather than a call and a loop.
bool sameBytes(const char* a, const char* b, size_t n)
{
    if (n >= 8) {
        return sameWords<uint64_t>(a, b, 0) && sameWords<uint64_t>(a, b, n - 8) &&
               (n <= 16 || sameWords<uint64_t>(a, b, 8));
    }
    if (n >= 4)
        return sameWords<uint32_t>(a, b, 0) && sameWords<uint32_t>(a, b, n - 4);
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i])
            return false;
    return true;
}

bool sameFolded(const char* a, std::string_view b)
{
    for (size_t i = 0; i < b.size(); ++i)
        if (fold(a[i]) != fold(b[i]))
            return false;
    return true;
}

constexpr size_t lengthOf(const char* text)
{
    size_t n = 0;
    while (text[n])
        ++n;
    return n;
}

// Open addressing over the names' places in kNames, made while compiling.
struct Table {
    static constexpr uint32_t kSlots = 256;
    struct Slot {
        uint16_t at = 0;    // place in kNames, plus one; 0: free
        uint16_t length = 0;
    };
    Slot slots[kSlots] = {};

    constexpr Table()
    {
        for (size_t at = 0; at + 1 < sizeof kNames; at += lengthOf(kNames + at) + 1) {
            const size_t length = lengthOf(kNames + at);
            uint32_t i = hashOf(kNames + at, length) % kSlots;
            while (slots[i].at)
                i = (i + 1) % kSlots;
            slots[i] = {uint16_t(at + 1), uint16_t(length)};
        }
    }

    const char* find(std::string_view name, bool foldCase) const
    {
        for (uint32_t i = hashOf(name.data(), name.size()) % kSlots; slots[i].at; i = (i + 1) % kSlots) {
            if (slots[i].length != name.size())
                continue;
            const char* candidate = kNames + slots[i].at - 1;
            if (sameBytes(candidate, name.data(), name.size()))
                return candidate;
            if (foldCase && sameFolded(candidate, name))
                return candidate;
        }
        return nullptr;
    }
};

constexpr Table kTable;

} // namespace

const char* xpxmlCommonName(std::string_view name, bool foldCase)
{
    if (name.empty() || name.size() > 20)
        return nullptr;
    return kTable.find(name, foldCase);
}

const char* const xpxmlCommonNamesBegin = kNames;
const size_t xpxmlCommonNamesSize = sizeof kNames;
