// The parser runs on the user interface's thread: a hostile file may cost a
// few times what an ordinary file of its size costs, never the square of it.
#include "hostile_xml.h"
#include "thread_seconds.h"
#include "xml/xpxml.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

std::string ordinaryText(size_t bytes)
{
    std::string text = "<Zolva Version=\"1.0.14\">\n<Notes>\n";
    while (text.size() < bytes)
        text += "<Note Value=\"4\" Tines=\"1,3,5\" Text=\"la\"/>\n";
    return text + "</Notes>\n</Zolva>\n";
}

// Processor time per byte of loading text into doc, the better of two loads.
double secondsPerByte(XPxmlDoc& doc, const std::string& text)
{
    double best = 1e9;
    for (int i = 0; i < 2; ++i)
        best = std::min(best, threadSecondsOf([&] { EXPECT_EQ(doc.loadText(text.c_str()), 0) << doc.errorText(); }));
    return best / double(text.size());
}

TEST(HostileInput, ParsesInTimeLinearInItsSize)
{
    constexpr size_t kBytes = 256 * 1024;
    // Far above what any shape costs, far below what scanning the rest again
    // for each blank, reference or attribute cost: hundreds of times and more.
    constexpr double kMostTimesOrdinary = 20;
    const struct {
        const char* name;
        std::string text;
    } shapes[] = {
        {"blanks before text", hostile::blanksBeforeText(kBytes)},
        {"UTF-8 text", hostile::utf8Text(kBytes)},
        {"entity references", hostile::entityReferences(kBytes)},
        {"attributes of one element", hostile::manyAttributes(kBytes)},
    };
    XPxmlDoc doc;
    const double ordinary = secondsPerByte(doc, ordinaryText(kBytes));
    for (const auto& shape : shapes)
        EXPECT_LT(secondsPerByte(doc, shape.text) / ordinary, kMostTimesOrdinary) << shape.name;

    // The last shape loaded, the attributes, gave each name twice, the second
    // time in capitals: one of each stays, with the second value.
    const XPxmlNode* root = doc.rootElement();
    ASSERT_TRUE(root);
    const auto twice = size_t(std::count(shapes[3].text.begin(), shapes[3].text.end(), '=')) / 2;
    ASSERT_EQ(root->attributes().count(), twice);
    for (uint32_t i = 0; i < twice; ++i)
        ASSERT_STREQ(static_cast<const XPxmlNode*>(root->attributes().at(i))->value(), "2") << i;
}

} // namespace
