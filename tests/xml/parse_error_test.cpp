#include "xml/work_progress.h"
#include "xml/xpxml.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ErrorRow {
    std::string input;
    int code;
    long line;
    const char* message;
};

// A document type and the start of a root whose references have used up the
// whole expansion budget: the next reference of e goes beyond it.
std::string budgetSpent()
{
    const std::string value(64 * 1024, 'x');
    std::string text = "<!DOCTYPE r [<!ENTITY e \"" + value + "\">]><r><s>";
    for (size_t spent = 0; spent + value.size() <= XPxmlDoc::kMaxEntityExpansion; spent += value.size())
        text += "&e;";
    return text + "</s>";
}

// Long inputs show their two ends.
std::string shown(const std::string& input)
{
    return input.size() <= 80 ? input : input.substr(0, 40) + " ... " + input.substr(input.size() - 40);
}

const char* const kTooLarge = "Declared entities expand to more than 64 MB";

// Every message the loader can report, with its code and the input line it names.
const ErrorRow kErrors[] = {
    {"<a x=5/>", 1886, 1, "Expected \" or ' but got 5"},
    {"<a\n x=\"abc", 1895, 2, "EOF reached while parsing quoted text"},
    {"hello", 2221, 1, "Invalid data found while parsing tag opening."},
    {"<a/>\n\n>", 2221, 3, "Invalid data found while parsing tag opening."},
    {"< >", 2231, 1, "Invalid data found while parsing tag name."},
    {"<", 2231, 1, "Invalid data found while parsing tag name."},
    {"<!FOO x>", 2288, 1, "Unknown node type found."},
    {"</a>", 2288, 1, "Unknown node type found."},
    {"<!ENTITY e x>", 2312, 1, "Definition not found parsing !ENTITY|!ELEMENT"},
    {"<!ENTITY e \"v\" x>", 2319, 1, "Closing > not found parsing !ENTITY|!ELEMENT"},
    {"<r><![CDATA[abc</r>", 2333, 1, "]]> not found parsing ![CDATA["},
    {"<!-- abc\n\n", 2360, 3, "--> not found parsing !--"},
    {"<?xml version=\"1.0\"", 2384, 1, "?> not found parsing PROCESSING INSTRUCTION"},
    {"<!DOCTYPE r [<!NOTATION n abc", 2413, 1, "Closing not found parsing !NOTATION"},
    {"<a", 2435, 1, "Error parsing NODE attribute name"},
    {"<a x", 2445, 1, "= not found parsing NODE attribute"},
    {"<a x y=\"1\"/>", 2449, 1, "Didn't find '=' in attribute declaration."},
    {"<a>text", 2473, 1, "Error parsing NODE data"},
    {"<a>\n<b>\n</a>", 2521, 3, "Open/Closing tag mismatch a != b"},
    {"<a/><b/>", 2801, 1, "Load unable to add another root node (b) to document"},
    {"<!ENTITY e \"v\">", 2826, 1, "Invalid node type encountered at top level. Type: entity NodeName: e"},
    {"<![CDATA[x]]>", 2826, 1,
     "Invalid node type encountered at top level. Type: cdatasection NodeName: #cdata-section"},
    {"<!DOCTYPE r [<!ENTITY e \"v\">", XPxmlError::DoctypeNotClosed, 1, "]> not found parsing !DOCTYPE"},
    // The first error stands, not what fails after it.
    {"<!ENTITY e \"v", 1895, 1, "EOF reached while parsing quoted text"},
    {budgetSpent() + "<t a=&e;/></r>", XPxmlError::EntityExpansionTooLarge, 1, kTooLarge},
    {budgetSpent() + "<t a&e;/></r>", XPxmlError::EntityExpansionTooLarge, 1, kTooLarge},
    {budgetSpent() + "<!DOCTYPE q [<!ENTITY f \"&e;\">]></r>", XPxmlError::EntityExpansionTooLarge, 1, kTooLarge},
    {budgetSpent() + "</r>&e;", XPxmlError::EntityExpansionTooLarge, 1, kTooLarge},
};

TEST(ParseErrors, EveryMessageWithCodeAndLine)
{
    for (const ErrorRow& row : kErrors) {
        XPxmlDoc doc;
        EXPECT_EQ(doc.loadText(row.input.c_str()), row.code) << shown(row.input);
        EXPECT_EQ(doc.errorCode(), row.code) << shown(row.input);
        const std::string expected = "(XPxml line " + std::to_string(row.code) + ") Line:" +
                                     std::to_string(row.line) + "> " + row.message;
        EXPECT_EQ(doc.errorText(), expected) << shown(row.input);
        EXPECT_FALSE(doc.isLoading());
    }
}

TEST(ParseErrors, NodesBeforeTheErrorStay)
{
    XPxmlDoc doc;
    EXPECT_EQ(doc.loadText("<!--c--><a><x/></a><b/>"), 2801);
    EXPECT_EQ(doc.documentNode()->childCount(), 2u);
    EXPECT_STREQ(doc.rootElement()->name(), "a");
}

TEST(ParseErrors, ErrorInsideChildFailsTheWholeElement)
{
    // A later sibling must not hide an earlier error: content would be lost silently.
    XPxmlDoc doc;
    EXPECT_EQ(doc.loadText("<r><a x=1/><b/></r>"), 1886);
    EXPECT_EQ(doc.rootElement(), nullptr);
}

TEST(ParseErrors, SuccessClearsAnEarlierError)
{
    XPxmlDoc doc;
    doc.loadText("<a>");
    ASSERT_NE(doc.errorCode(), 0);
    EXPECT_EQ(doc.loadText("<a/>"), 0);
    EXPECT_STREQ(doc.errorText(), "");
}

TEST(ParseErrors, NestingBeyondTheLimitFailsCleanly)
{
    std::string text;
    for (int i = 0; i <= XPxmlDoc::kMaxNesting; ++i)
        text += "<n>";
    XPxmlDoc doc;
    EXPECT_EQ(doc.loadText(text.c_str()), XPxmlError::NestingTooDeep);
    EXPECT_NE(std::string(doc.errorText()).find("deeper than 1000"), std::string::npos);
}

TEST(ParseErrors, EntityExpansionIsBounded)
{
    // A small document whose declared entity is repeated until it would
    // expand past the limit.
    std::string value(64 * 1024, 'x');
    std::string text = "<!DOCTYPE r [<!ENTITY e \"" + value + "\">]><r>";
    const size_t repeats = (XPxmlDoc::kMaxEntityExpansion / value.size()) + 2;
    for (size_t i = 0; i < repeats; ++i)
        text += "&e;";
    text += "</r>";
    XPxmlDoc doc;
    EXPECT_EQ(doc.loadText(text.c_str()), XPxmlError::EntityExpansionTooLarge);
}

// A load told to stop stops where it looks next, with its own code;
// one left alone says how far it read.
TEST(ParseErrors, ProgressReportsAndCancels)
{
    std::string text = "<r>";
    for (int i = 0; i < 20000; ++i)
        text += "<Note Value=\"4\" Tines=\"9\"/>";
    text += "</r>";
    for (const bool cancel : {false, true}) {
        WorkProgress progress;
        progress.cancelled = cancel;
        XPxmlDoc doc;
        doc.setProgress(&progress);
        EXPECT_EQ(doc.loadText(text.c_str()), cancel ? XPxmlError::Cancelled : 0) << cancel;
        EXPECT_EQ(progress.total, text.size()) << cancel;
        EXPECT_EQ(progress.done > text.size() / 2, !cancel) << cancel;
    }
}

} // namespace
