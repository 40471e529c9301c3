#pragma once

#include <array>
#include <cstdint>

// The tines a note sounds, from its "Tines" text: the 1-based numbers that
// name one of tineCount tines, in the order written. Other entries (0,
// negative, beyond the count) name no tine and are left out.
struct TineNumbers {
    static constexpr int kMaxTines = 100;
    std::array<int32_t, kMaxTines> tines{};
    int count = 0;
};

TineNumbers readTineNumbers(const char* text, int tineCount);
