#pragma once

#include <array>
#include <cstdint>
#include <span>

class XPxmlNode;

// The tine numbers a note's "Tines" text names, read as a list of up to
// tineCount numbers (tineCount limited to 0 … 100). A count of 0 means the
// note is empty: it sounds nothing and takes no time.
struct NoteChord {
    static constexpr int kMaxTines = 100;
    std::array<int32_t, kMaxTines> tines{};
    int count = 0;

    std::span<const int> span() const { return {tines.data(), size_t(count)}; }
};

// The chord of any element; empty for an element without "Tines".
NoteChord readNoteChord(const XPxmlNode* element, int tineCount);
