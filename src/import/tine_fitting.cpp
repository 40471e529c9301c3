#include "import/tine_fitting.h"

#include <array>
#include <cstdlib>

namespace {

constexpr int kMaxShift = 12;
constexpr int kKeys = 128;

// Tine number (from 1) of every key, 0 where no tine sounds it.
using TineOfKey = std::array<int, kKeys>;

TineOfKey tinesByKey(const std::vector<int>& tinePitches)
{
    TineOfKey tineOf{};
    for (size_t i = 0; i < tinePitches.size(); ++i)
        if (tineOf[size_t(tinePitches[i])] == 0) // the first of equal tines
            tineOf[size_t(tinePitches[i])] = int(i) + 1;
    return tineOf;
}

bool isKey(int pitch) { return pitch >= 0 && pitch < kKeys; }

// The tine of pitch's class closest to it, the higher one of two equally close.
int nearestOfClass(int pitch, const TineOfKey& tineOf)
{
    for (int distance = 12; distance < kKeys + 12; distance += 12) {
        if (isKey(pitch + distance) && tineOf[size_t(pitch + distance)])
            return tineOf[size_t(pitch + distance)];
        if (isKey(pitch - distance) && tineOf[size_t(pitch - distance)])
            return tineOf[size_t(pitch - distance)];
    }
    return 0;
}

bool betterShift(int shift, int count, int best, int bestCount)
{
    if (count != bestCount)
        return count > bestCount;
    if (std::abs(shift) != std::abs(best))
        return std::abs(shift) < std::abs(best);
    return shift > best;
}

} // namespace

std::vector<int> parseTinePitches(const std::string& noteValues)
{
    std::vector<int> pitches;
    const char* p = noteValues.c_str();
    while (*p) {
        char* end = nullptr;
        const long value = std::strtol(p, &end, 10);
        if (end != p && value >= 0 && value < kKeys)
            pitches.push_back(int(value));
        p = end != p ? end : p + 1;
        while (*p == ',' || *p == ' ')
            ++p;
    }
    return pitches;
}

TineFit fitToTines(const std::vector<int>& pitches, const std::vector<int>& tinePitches)
{
    const TineOfKey tineOf = tinesByKey(tinePitches);
    // How many notes each key has, so that every shift is counted in 128 steps.
    std::array<long, kKeys> keyCount{};
    for (int pitch : pitches)
        if (isKey(pitch))
            ++keyCount[size_t(pitch)];

    TineFit fit;
    long bestCount = -1;
    for (int shift = -kMaxShift; shift <= kMaxShift; ++shift) {
        long count = 0;
        for (int key = 0; key < kKeys; ++key)
            if (keyCount[size_t(key)] && isKey(key + shift) && tineOf[size_t(key + shift)])
                count += keyCount[size_t(key)];
        if (betterShift(shift, int(count), fit.shift, int(bestCount))) {
            fit.shift = shift;
            bestCount = count;
        }
    }

    fit.tines.reserve(pitches.size());
    for (int pitch : pitches) {
        const int shifted = pitch + fit.shift;
        int tine = isKey(shifted) ? tineOf[size_t(shifted)] : 0;
        if (tine == 0) {
            tine = nearestOfClass(shifted, tineOf);
            ++(tine ? fit.movedByOctaves : fit.withoutTine);
        }
        fit.tines.push_back(tine);
    }
    return fit;
}
