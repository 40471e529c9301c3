// The tine nearest a heard frequency, and by how many cents, at references
// from 415 to 466 Hz.
#include "listen/tine_pitch.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(TinePitch, NearestTineAndCents)
{
    struct Row {
        const char* name;
        double hz;
        double reference;
        int tine;
        double cents;
    };
    // A 17-tine kalimba in C, tine 1 the left-most.
    const TineTuning c17{{86, 83, 79, 76, 72, 69, 65, 62, 60, 64, 67, 71, 74, 77, 81, 84, 88}};
    const std::vector<Row> rows = {
        {"C4 exactly", 261.6256, 440, 9, 0.0},
        {"A4 at 432 Hz", 432.0, 440, 6, 1200 * std::log2(432.0 / 440.0)},
        {"A4 at its own reference 432", 432.0, 432, 6, 0.0},
        {"10 cents sharp of the lowest tine", 261.6256 * std::exp2(10 / 1200.0), 440, 9, 10.0},
        {"between two tines, nearer the upper", 440.0 * std::exp2((64.6 - 69) / 12), 440, 7, -40.0},
        {"far below every tine", 20.0, 440, 9, 1200 * std::log2(20.0 / 261.6256)},
        {"no sound", 0.0, 440, 0, 0.0},
    };
    for (const Row& row : rows) {
        TineTuning tuning = c17;
        tuning.referenceHz = row.reference;
        const NearestTine nearest = nearestTine(row.hz, tuning);
        EXPECT_EQ(nearest.tine, row.tine) << row.name;
        EXPECT_NEAR(nearest.cents, row.cents, 0.01) << row.name;
    }
}

} // namespace
