#pragma once

#include "import/note_values.h"

#include <cstdint>

// The tablature as it is written, element by element, in the order of the
// note list.

enum class RepeatModifier { None, Open, Close, Both };

struct WrittenBar {
    bool opening = false;     // the first element of the music
    bool fullMeasure = true;  // the measure it closes holds what its time signature says
    bool setsTiming = false;  // the time signature is set here ("M"), not inherited ("A")
    int beats = 4;
    int unit = 4;
    int tempo = 0;            // quarters per minute set here, 0 for none
    RepeatModifier modifier = RepeatModifier::None;
    int repeatCount = -1;     // plays after the first, -1 to leave it out
};

struct WrittenNote {
    NoteValue value;
    bool rest = false;
    bool tie = false;         // held on into the next note, which is not struck again
    char tuplet = '\0';       // 'F', 'Y' or 'L' in a triplet group
    int tempo = 0;            // quarters per minute set here, 0 for none
    const uint8_t* tines = nullptr; // tine numbers from 1
    uint32_t tineCount = 0;
    int lyric = -1;
};

class WrittenMusic {
public:
    virtual ~WrittenMusic() = default;
    virtual void addBar(const WrittenBar& bar) = 0;
    virtual void addNote(const WrittenNote& note) = 0;
};
