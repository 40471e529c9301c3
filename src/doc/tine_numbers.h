#pragma once

#include <array>
#include <cstdint>
#include <span>

class XPxmlNode;

// The tines a note names in its "Tines" text, for the drawing and the sound
// alike: the 1-based numbers that name one of tineCount tines, in the order
// written. Other entries (0, negative, beyond the count) name no tine and are
// left out, so that they neither crowd out a valid one nor sound.
struct TineNumbers {
    static constexpr int kMaxTines = 100;
    std::array<int32_t, kMaxTines> tines{};
    int count = 0;
    // Whether the text names anything at all on an instrument with tines: a
    // note naming nothing is empty, sounds nothing and takes no time. A note
    // naming only tines the instrument lacks still takes its time, silent.
    bool takesTime = false;

    std::span<const int> span() const { return {tines.data(), size_t(count)}; }
};

TineNumbers readTineNumbers(const char* text, int tineCount);
// The tines of any element, its text copied under the list's lock (the
// user-interface thread may write the element's working attributes while a
// playback thread reads); empty for an element without "Tines".
TineNumbers readNoteTines(const XPxmlNode* element, int tineCount);
