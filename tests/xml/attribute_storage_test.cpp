#include "xml/xpxml.h"
#include "xml/xpxml_name_set.h"
#include "xml/xpxml_writer.h"
#include "written_text.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

// Attributes live as names and values until someone asks for their nodes;
// both forms must answer alike, and a value handed out must stay where it is
// while other attributes of its element come and go.
namespace {

// Each edit, done before and after the attribute nodes exist, must leave the
// same element behind.
TEST(AttributeStorage, EditsAgreeBeforeAndAfterNodesAreMade)
{
    struct Row {
        const char* what;
        void (*edit)(XPxmlNode*);
        const char* expected;
    };
    const Row rows[] = {
        {"replace", [](XPxmlNode* n) { n->setAttribute("VALUE", "8"); }, "<N Value=\"8\" tines=\"1\" Odd=\"x\"/>"},
        {"add", [](XPxmlNode* n) { n->setAttribute("Tuplet", "3"); },
         "<N Value=\"4.\" tines=\"1\" Odd=\"x\" Tuplet=\"3\"/>"},
        {"remove", [](XPxmlNode* n) { n->removeAttribute("TINES"); }, "<N Value=\"4.\" Odd=\"x\"/>"},
        {"remove all", [](XPxmlNode* n) { n->removeAllAttributes(); }, "<N/>"},
        {"many", [](XPxmlNode* n) {
             for (int i = 0; i < 20; ++i)
                 n->setAttribute(("A" + std::to_string(i)).c_str(), std::to_string(i).c_str());
             for (int i = 0; i < 19; ++i)
                 n->removeAttribute(("a" + std::to_string(i)).c_str());
         },
         "<N Value=\"4.\" tines=\"1\" Odd=\"x\" A19=\"19\"/>"},
    };
    for (const Row& row : rows) {
        for (bool nodesFirst : {false, true}) {
            XPxmlDoc doc;
            ASSERT_EQ(doc.loadText("<N Value='4.' tines='1' Odd='x'/>"), 0);
            XPxmlNode* n = doc.rootElement();
            if (nodesFirst)
                n->attributes();
            row.edit(n);
            EXPECT_EQ(written(n), row.expected) << row.what << (nodesFirst ? " after nodes" : "");
            const std::unique_ptr<XPxmlNode> copy(n->clone(false));
            EXPECT_EQ(written(copy.get()), row.expected) << row.what << " cloned";
        }
    }
}

TEST(AttributeStorage, NamesMatchInAnyCaseWhetherCommonOrNot)
{
    XPxmlDoc doc;
    ASSERT_EQ(doc.loadText("<N VALUE='1' value2='2' Tines='3' tInEs2='4'/>"), 0);
    const XPxmlNode* n = doc.rootElement();
    struct Row {
        const char* name;
        const char* value;
    };
    for (const Row& row : {Row{"Value", "1"}, Row{"value", "1"}, Row{"VALUE2", "2"}, Row{"tines", "3"},
                           Row{"Tines2", "4"}, Row{"Tine", nullptr}, Row{"Pos", nullptr}})
        EXPECT_STREQ(n->getAttribute(row.name), row.value) << row.name;
    EXPECT_EQ(written(n), "<N VALUE=\"1\" value2=\"2\" Tines=\"3\" tInEs2=\"4\"/>") << "names kept as written";
}

// One look finds every name of a set, in any case, whether the attributes are
// still names and values or nodes already.
TEST(AttributeStorage, ReadingASetOfNamesAtOnce)
{
    const XPxmlNameSet names{"Value", "Tines", "Own", "~Pos", "Absent"};
    for (bool nodesFirst : {false, true}) {
        XPxmlDoc doc;
        ASSERT_EQ(doc.loadText("<N own='o' TINES='t' Other='x' Value='v'/>"), 0);
        const XPxmlNode* n = doc.rootElement();
        if (nodesFirst)
            n->attributes();
        const char* values[5];
        n->readAttributes(names, values);
        const char* expected[5] = {"v", "t", "o", nullptr, nullptr};
        for (size_t i = 0; i < 5; ++i)
            EXPECT_STREQ(values[i], expected[i]) << i << (nodesFirst ? " after nodes" : "");
    }
}

// Writing by a name of a set acts as writing by the name itself: in any case,
// before and after nodes, and flagging the element only for names outside
// the ignore prefix, and only for a change.
TEST(AttributeStorage, WritingByANameOfASet)
{
    const XPxmlNameSet names{"value", "~Pos", "Own"};
    struct Row {
        uint32_t which;
        std::string_view value;
        const char* expected;
        bool modified;
    };
    const Row rows[] = {
        {0, "8", "<N Value=\"8\" Own=\"o\"/>", true},
        {0, "4.", "<N Value=\"4.\" Own=\"o\"/>", false},
        {1, "12,8", "<N Value=\"4.\" Own=\"o\"/>", false},
        {2, std::string_view("xyz").substr(0, 2), "<N Value=\"4.\" Own=\"xy\"/>", true},
    };
    for (const Row& row : rows) {
        for (bool nodesFirst : {false, true}) {
            XPxmlDoc doc;
            doc.setIgnorePrefix("~");
            ASSERT_EQ(doc.loadText("<Z><N Value='4.' Own='o'/></Z>"), 0);
            doc.clearModified();
            XPxmlNode* n = doc.rootElement()->childAt(0);
            if (nodesFirst)
                n->attributes();
            n->setAttribute(names, row.which, row.value);
            EXPECT_EQ(written(n), row.expected) << row.which << (nodesFirst ? " after nodes" : "");
            EXPECT_STREQ(n->getAttribute(names.nameAt(row.which)), std::string(row.value).c_str()) << row.which;
            EXPECT_EQ(n->isModified(), row.modified) << row.which << (nodesFirst ? " after nodes" : "");
        }
    }
}

TEST(AttributeStorage, ValuesStayPutWhileOtherAttributesChange)
{
    XPxmlDoc doc;
    ASSERT_EQ(doc.loadText("<N Value='4.' Tines='1,3,5'/>"), 0);
    XPxmlNode* n = doc.rootElement();
    const char* value = n->getAttribute("Value");
    n->setAttribute("Tines", "a value longer than the one it replaces");
    for (int i = 0; i < 50; ++i)
        n->setAttribute(("~W" + std::to_string(i)).c_str(), "working");
    n->removeAttribute("tines");
    EXPECT_EQ(n->getAttribute("Value"), value);
    EXPECT_STREQ(value, "4.");
    const char* working = n->getAttribute("~W49");
    n->attributes(); // nodes made: no attribute has changed
    EXPECT_STREQ(value, "4.");
    EXPECT_STREQ(working, "working");
}

} // namespace
