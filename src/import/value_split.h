#pragma once

#include "import/note_values.h"

#include <cstdint>
#include <vector>

// Splits lengths into written values that add up to them exactly: as few
// values as can be, the plain ones longest first and then the triplets.
// Rests take no triplets, which they cannot carry. Keeps its tables, and the
// splits of the lengths it has met, between calls.
class ValueSplitter {
public:
    // Appends the values to out; false, appending nothing, when length cannot
    // be written exactly. Unless loneTriplet, a note takes no single triplet
    // (its mark would not hold in the tablature without another beside it,
    // and the note would play too long): then lengths of 4, 8 and 20 units
    // cannot be written, nor any that is no multiple of 4, nor a rest's that
    // is no multiple of 12.
    bool split(int64_t length, bool note, bool loneTriplet, std::vector<NoteValue>& out);

private:
    // Lengths up to this many steps are split once: a piece meets the same
    // few again and again.
    static constexpr size_t kRemembered = 512;
    struct Remembered {
        uint32_t first = 0; // into m_splits
        uint8_t count = 0;
        uint8_t known = 0;  // 0 not yet split, 1 split, 2 cannot be written
    };
    bool splitAnew(int64_t length, bool note, bool loneTriplet, std::vector<NoteValue>& out);

    // Triplets among the values so far: none, one, or two and more.
    static constexpr int kStates = 3;
    static constexpr uint16_t kNever = 0xFFFF;
    struct Step {
        uint16_t count = kNever; // values
        uint8_t value = 0;       // the last one, into gridValues
        uint8_t from = 0;        // the state before it
    };
    void growTo(size_t steps);
    Step& at(size_t steps, int state, bool note) { return (note ? m_notes : m_rests)[steps * kStates + size_t(state)]; }

    std::vector<Step> m_notes;
    std::vector<Step> m_rests;
    std::vector<Remembered> m_remembered; // by steps, note and loneTriplet
    std::vector<NoteValue> m_splits;
};
