#include "view/tine_numbers.h"

#include "view/number_text.h"

#include <cstddef>

TineNumbers readTineNumbers(const char* text, int tineCount)
{
    TineNumbers read;
    // Every entry first: an entry out of range must not crowd out a valid one.
    std::array<int32_t, TineNumbers::kMaxTines> entries{};
    const int written = ParseNumberList(text, entries.data(), TineNumbers::kMaxTines);
    for (int i = 0; i < written; ++i)
        if (entries[size_t(i)] >= 1 && entries[size_t(i)] <= tineCount)
            read.tines[size_t(read.count++)] = entries[size_t(i)];
    return read;
}
