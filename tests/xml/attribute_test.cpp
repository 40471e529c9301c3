#include "xml/xpxml.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct AttributeTest : ::testing::Test {
    XPxmlDoc doc;
    XPxmlNode* note = nullptr;
    void SetUp() override
    {
        doc.setIgnorePrefix("~");
        ASSERT_EQ(doc.loadText("<Zolva><Note Value=\"4.\" Tines=\"1,3\" Tempo=\" -90x\" Empty=''/></Zolva>"), 0);
        note = doc.findElement("note");
        doc.clearModified();
    }
};

TEST_F(AttributeTest, LookupIsCaseInsensitive)
{
    EXPECT_STREQ(note->getAttribute("value"), "4.");
    EXPECT_STREQ(note->getAttribute("TINES"), "1,3");
    EXPECT_EQ(note->getAttribute("Missing"), nullptr);
}

TEST_F(AttributeTest, CopyIntoBufferIsCutToItsSize)
{
    char buffer[3] = {'x', 'x', 'x'};
    EXPECT_EQ(note->getAttributeCopy("Tines", buffer, sizeof buffer), 1);
    EXPECT_STREQ(buffer, "1,");
    EXPECT_EQ(note->getAttributeCopy("Missing", buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
    std::string copy = "old";
    EXPECT_FALSE(note->getAttributeCopy("Missing", copy));
    EXPECT_EQ(copy, "old");
}

TEST_F(AttributeTest, NumbersByTheLeadingIntegerRule)
{
    struct Row {
        const char* name;
        long expected;
    };
    for (const Row& row : {Row{"Value", 4}, Row{"Tempo", -90}, Row{"Empty", 0}}) {
        long out = 12345;
        EXPECT_EQ(note->getAttributeNumber(row.name, &out), 1) << row.name;
        EXPECT_EQ(out, row.expected) << row.name;
    }
    long untouched = 7;
    EXPECT_EQ(note->getAttributeNumber("Missing", &untouched), 0);
    EXPECT_EQ(untouched, 7);
    EXPECT_EQ(xpxmlLeadingInteger("+12ab"), 12);
    EXPECT_EQ(xpxmlLeadingInteger("99999999999"), 2147483647);
    EXPECT_EQ(xpxmlLeadingInteger("-99999999999"), -2147483648L);
}

TEST_F(AttributeTest, SettingTheSameValueLeavesDocumentUnmodified)
{
    note->setAttribute("Value", "4.");
    EXPECT_FALSE(doc.isModified());
    note->setAttribute("Value", "8");
    EXPECT_TRUE(doc.isModified());
    EXPECT_STREQ(note->getAttribute("Value"), "8");
    EXPECT_EQ(note->attributes().count(), 4u) << "replaced, not added";
}

TEST_F(AttributeTest, WorkingAttributesNeverMarkTheDocument)
{
    note->setAttribute("~Pos", "0,20");
    note->setAttribute("~Pos", "0,40");
    note->removeAttribute("~Pos");
    EXPECT_FALSE(doc.isModified());
    note->setAttribute("Tempo", "100");
    EXPECT_TRUE(doc.isModified());
}

TEST_F(AttributeTest, NewAttributesAppendInOrderWithTheirElement)
{
    note->setAttribute("Bird", "");
    XPxmlNode* last = static_cast<XPxmlNode*>(note->attributes().last());
    EXPECT_STREQ(last->name(), "Bird");
    EXPECT_EQ(last->kind(), XPxmlKind::Attribute);
    EXPECT_EQ(last->parent(), note);
    EXPECT_EQ(last->document(), &doc);
    EXPECT_TRUE(doc.isModified());
}

TEST_F(AttributeTest, RemoveOneAndAll)
{
    note->removeAttribute("Missing");
    EXPECT_FALSE(doc.isModified());
    note->removeAttribute("tines");
    EXPECT_EQ(note->getAttribute("Tines"), nullptr);
    EXPECT_TRUE(doc.isModified());
    note->removeAllAttributes();
    EXPECT_EQ(note->attributes().count(), 0u);
}

TEST_F(AttributeTest, TextContentIsValueOrWrittenChildren)
{
    ASSERT_EQ(doc.loadText("<a>x<b k='v'/>y</a>"), 0);
    EXPECT_EQ(doc.rootElement()->textContent(), "x<b k=\"v\"/>y");
    XPxmlNode* b = doc.findElement("b");
    EXPECT_EQ(b->textContent(), "");
    b->setValue("direct");
    EXPECT_EQ(b->textContent(), "direct");
}

} // namespace
