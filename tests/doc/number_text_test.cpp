// Reading the numbers and texts of music files: comma lists, leading reals,
// time signatures, note lengths, tines and 8-bit text.
#include "doc/eight_bit_text.h"
#include "doc/measure_beats.h"
#include "doc/number_text.h"
#include "doc/tine_numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

TEST(ParseNumberList, EntriesByTheLeadingIntegerRule)
{
    struct Row {
        const char* text;
        int size;
        std::vector<int32_t> expected; // the whole table after the call
        int count;
    };
    const Row rows[] = {
        {nullptr, 3, {0, 0, 0}, 0},
        {"", 3, {0, 0, 0}, 0},
        {"60,62,64", 5, {60, 62, 64, 0, 0}, 3},
        {"60,,64", 3, {60, 0, 64}, 3},                // an empty entry reads as 0
        {"60,62,", 3, {60, 62, 0}, 2},                // a comma at the end adds nothing
        {" 7 , -3x,+5", 3, {7, -3, 5}, 3},
        {"abc", 2, {0, 0}, 1},                        // text without digits is one entry of 0
        {"1,2,3,4", 2, {1, 2}, 2},                    // the table holds at most its size
        {",", 2, {0, 0}, 1},
        {"99999999999", 1, {2147483647}, 1},
    };
    for (const Row& row : rows) {
        std::vector<int32_t> table(size_t(row.size), 77);
        EXPECT_EQ(ParseNumberList(row.text, table.data(), row.size), row.count) << (row.text ? row.text : "null");
        EXPECT_EQ(table, row.expected) << (row.text ? row.text : "null");
    }
    EXPECT_EQ(ParseNumberList("1,2", nullptr, 2), 0);
}

// One rule for the drawing and the sound: only tines of the instrument count,
// and a note naming anything takes its time even when none of it sounds.
TEST(TineNumbers, OnlyTinesOfTheInstrument)
{
    struct Row {
        const char* text;
        int tineCount;
        std::vector<int32_t> tines;
        bool takesTime;
    };
    const Row rows[] = {
        {"1,3,5", 17, {1, 3, 5}, true},
        {"0,18,-2,17", 17, {17}, true},
        {"0,1,2", 2, {1, 2}, true}, // an entry out of range does not crowd out the last tine
        {"9,1", 1, {1}, true},      // drawn and sounded alike: tine 1
        {"9", 1, {}, true},         // silent, but still a note of its length
        {"5", 0, {}, false},
        {"", 17, {}, false},
        {nullptr, 17, {}, false},
        {"3,3", 5, {3, 3}, true},
    };
    for (const Row& row : rows) {
        const TineNumbers read = readTineNumbers(row.text, row.tineCount);
        EXPECT_EQ(std::vector<int32_t>(read.span().begin(), read.span().end()), row.tines)
            << (row.text ? row.text : "null") << " of " << row.tineCount;
        EXPECT_EQ(read.takesTime, row.takesTime) << (row.text ? row.text : "null") << " of " << row.tineCount;
    }
}

TEST(LeadingReal, ReadsUpToTheFirstCharacterThatCannotContinueIt)
{
    struct Row {
        const char* text;
        double expected;
    };
    const Row rows[] = {
        {nullptr, 0.0},  {"", 0.0},         {"1.5", 1.5},     {"  -0.4x", -0.4}, {"+2", 2.0},
        {".5", 0.5},     {"4.", 4.0},       {"8..", 8.0},     {"1e2", 100.0},    {"1e", 1.0},
        {"1.5e-1z", 0.15}, {"abc", 0.0},    {"-", 0.0},       {".", 0.0},        {"1e-999", 0.0},
        {"inf", 0.0},    {"0x10", 0.0},
    };
    for (const Row& row : rows)
        EXPECT_DOUBLE_EQ(leadingReal(row.text), row.expected) << (row.text ? row.text : "null");
    EXPECT_EQ(leadingReal("1e999"), std::numeric_limits<double>::infinity());
}

TEST(TimeSignature, LetterThenBeatsOverUnit)
{
    struct Row {
        const char* timing;
        long beats;
        long unit;
    };
    const Row rows[] = {
        {"A4/4", 4, 4}, {"M3/8", 3, 8}, {"M12/16", 12, 16}, {nullptr, 4, 4}, {"", 4, 4},
        // Values below 1 would make measures that never fill or beats without length.
        {"M0/4", 4, 4}, {"M3/0", 3, 4}, {"M-2/-8", 4, 4}, {"M3", 3, 4}, {"Mx/y", 4, 4},
    };
    for (const Row& row : rows) {
        const TimeSignature signature = readTimeSignature(row.timing);
        EXPECT_EQ(signature.beats, row.beats) << (row.timing ? row.timing : "null");
        EXPECT_EQ(signature.unit, row.unit) << (row.timing ? row.timing : "null");
    }
    EXPECT_EQ(automaticTiming("M3/8"), "A3/8");
    EXPECT_EQ(automaticTiming("A03/8 "), "A03/8 ") << "the text as it is, as propagation copies it";
    EXPECT_EQ(automaticTiming(nullptr), "A4/4");
}

TEST(MeasureBeats, LengthsInBeatsOfTheDenominator)
{
    struct Row {
        long denominator;
        const char* value;
        const char* tuplet;
        double beats;
    };
    const Row rows[] = {
        {4, "4", "", 1.0},       {4, "1", nullptr, 4.0},  {4, "8", "", 0.5},      {8, "4", "", 2.0},
        {4, "4.", "", 1.5},      {4, "2..", "", 3.5},     {4, "4.x.", "", 1.5},   {4, "8", "F", 0.5 * 0.6666666666666666},
        {4, "4", " ", 0.6666666666666666},                // any non-empty tuplet text
        {4, "0", "", 1.0},       {4, nullptr, "", 1.0},   {4, "-8", "", 1.0},     {0, "8", "", 0.5},
    };
    for (const Row& row : rows)
        EXPECT_DOUBLE_EQ(MeasureBeats(row.denominator, row.value, row.tuplet), row.beats)
            << row.denominator << " " << (row.value ? row.value : "null") << " " << (row.tuplet ? row.tuplet : "null");
}

TEST(MeasureBeats, FillingAMeasureAgreesToSevenPlaces)
{
    EXPECT_TRUE(fillsMeasure(4.0, 4));
    EXPECT_TRUE(fillsMeasure(3.99999999, 4)) << "rounded up by 0.00000001";
    EXPECT_FALSE(fillsMeasure(3.9999998, 4));
    EXPECT_FALSE(fillsMeasure(4.0000001, 4));
    EXPECT_FALSE(fillsMeasure(5.0, 4));
    // Three triplet quarters make two beats only approximately.
    const double triplet = MeasureBeats(4, "4", "F");
    EXPECT_TRUE(fillsMeasure(triplet + triplet + triplet, 2));
    EXPECT_FALSE(fillsMeasure(std::numeric_limits<double>::max(), 4));
}

TEST(EightBitText, Utf8WhenValidElseWindows1252)
{
    EXPECT_EQ(textFromBytes("grace"), QStringLiteral("grace"));
    EXPECT_EQ(textFromBytes("\xC3\xA9t\xC3\xA9"), QString::fromUtf8("été"));
    EXPECT_EQ(textFromBytes("\xE9t\xE9"), QString::fromUtf8("été"));
    EXPECT_EQ(textFromBytes("\x93hi\x94 \x80"), QString::fromUtf8("“hi” €"));
    EXPECT_EQ(textFromBytes("\x81"), QString(QChar(0x81)));
}

} // namespace
