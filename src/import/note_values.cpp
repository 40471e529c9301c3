#include "import/note_values.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

constexpr int64_t kWhole = 4 * kUnitsPerQuarter;
constexpr int kNumbers[] = {1, 2, 4, 8, 16, 32, 64};
constexpr size_t kMostValues = 28;

struct ValueTable {
    std::array<NoteValue, kMostValues> values{};
    size_t count = 0;
};

ValueTable makeValues()
{
    ValueTable table;
    const auto add = [&table](const NoteValue& value) {
        if (value.length % 4 == 0)
            table.values[table.count++] = value;
    };
    for (int number : kNumbers) {
        const int64_t plain = kWhole / number;
        add({plain, number, 0, false});
        add({plain * 3 / 2, number, 1, false});
        if (plain * 7 % 4 == 0)
            add({plain * 7 / 4, number, 2, false});
        add({plain * 2 / 3, number, 0, true});
    }
    // Insertion sort, once: no two values share a length.
    for (size_t i = 1; i < table.count; ++i)
        for (size_t j = i; j > 0 && table.values[j].length > table.values[j - 1].length; --j)
            std::swap(table.values[j], table.values[j - 1]);
    return table;
}

} // namespace

std::span<const NoteValue> gridValues()
{
    static const ValueTable table = makeValues();
    return {table.values.data(), table.count};
}

NoteValue closestValue(int64_t room, bool allowTriplet)
{
    NoteValue best;
    int64_t bestDistance = -1;
    for (const NoteValue& value : gridValues()) {
        const int64_t distance = value.length > room ? value.length - room : room - value.length;
        if ((allowTriplet || !value.triplet) && (bestDistance < 0 || distance <= bestDistance)) {
            best = value;
            bestDistance = distance;
        }
    }
    return best;
}

std::string_view valueText(const NoteValue& value)
{
    // Written for every note: looked up, not formatted.
    static constexpr std::string_view kTexts[][3] = {
        {"1", "1.", "1.."},    {"2", "2.", "2.."},    {"4", "4.", "4.."},    {"8", "8.", "8.."},
        {"16", "16.", "16.."}, {"32", "32.", "32.."}, {"64", "64.", "64.."},
    };
    int row = 0;
    while (row < 6 && (1 << row) < value.number)
        ++row;
    return kTexts[row][std::clamp(value.dots, 0, 2)];
}
