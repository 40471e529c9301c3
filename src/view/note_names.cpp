#include "view/note_names.h"

namespace {

constexpr const char* kSharpNames[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
constexpr const char* kFlatNames[12] = {"C", "Db", "D", "Eb", "E", "F", "Gb", "G", "Ab", "A", "Bb", "B"};

} // namespace

const char* noteName(int32_t key, bool flats)
{
    const int pitchClass = ((key % 12) + 12) % 12;
    return flats ? kFlatNames[pitchClass] : kSharpNames[pitchClass];
}
