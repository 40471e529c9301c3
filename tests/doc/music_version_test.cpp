// Version texts: the program's own, and how a file's version compares to it.
#include "doc/music_version.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ProgramVersion, ComesFromTheProductVersion)
{
    EXPECT_EQ(programVersion(), "1.0.14");
    EXPECT_EQ(versionFromProductVersion("1, 0, 14, 2"), "1.0.14");
    EXPECT_EQ(versionFromProductVersion("2,1,0,7"), "2.1.0");
}

struct Comparison {
    const char* file;
    const char* program;
    int expected;
};

class CompareVersions : public testing::TestWithParam<Comparison> {};

TEST_P(CompareVersions, OrdersComponentByComponent)
{
    const Comparison& c = GetParam();
    EXPECT_EQ(compareVersions(c.file, c.program), c.expected) << c.file << " vs " << c.program;
}

INSTANTIATE_TEST_SUITE_P(
    Versions, CompareVersions,
    testing::Values(Comparison{"1.0.14", "1.0.14", 0},
                    Comparison{"1.0", "1.0.14", 0},      // running out counts as equal
                    Comparison{"", "1.0.14", 0},
                    Comparison{"1.0.15", "1.0.14", 1},
                    Comparison{"2", "1.0.14", 1},
                    Comparison{"1.0.13", "1.0.14", -1},
                    Comparison{"0.0.0", "1.0.14", -1},
                    Comparison{"1.0.9", "1.0.14", -1},   // numbers, not text
                    Comparison{"1.0.140", "1.0.14", 1},
                    Comparison{" 1.-1", "1.0.14", -1},   // leading-integer rule
                    Comparison{"x.x.x", "1.0.14", -1},   // no digits read as 0
                    Comparison{"99999999999.0", "1.0.14", 1}),
    [](const testing::TestParamInfo<Comparison>& info) { return "Case" + std::to_string(info.index); });

} // namespace
