#include "xml/xpxml.h"
#include "xml/xpxml_element_maker.h"
#include "xml/xpxml_writer.h"
#include "written_text.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

// Elements made with all their attributes at once must be what setAttribute
// would have made, one maker serving element after element.
namespace {

TEST(ElementMaker, MakesWhatSetAttributeMakes)
{
    using Attributes = std::vector<std::pair<std::string, std::string>>;
    struct Row {
        const char* what;
        Attributes attributes;
        std::string expected;
    };
    const Row rows[] = {
        {"none", {}, "<Note/>"},
        {"shared names and others, in order", {{"Value", "4."}, {"Odd", "x"}, {"Tines", "9,10"}},
         "<Note Value=\"4.\" Odd=\"x\" Tines=\"9,10\"/>"},
        {"a name again keeps its place", {{"Value", "4"}, {"Tie", "Y"}, {"VALUE", "8"}, {"odd", "1"}, {"ODD", "2"}},
         "<Note Value=\"8\" Tie=\"Y\" odd=\"2\"/>"},
        {"empty and long values", {{"Text", ""}, {"Lyric", std::string(300, 'a')}},
         "<Note Text=\"\" Lyric=\"" + std::string(300, 'a') + "\"/>"},
        {"more than a few, one again among them",
         {{"a1", "1"}, {"a2", "2"}, {"a3", "3"}, {"a4", "4"}, {"a5", "5"}, {"a6", "6"}, {"a7", "7"}, {"a8", "8"},
          {"a9", "9"}, {"A2", "two"}, {"a10", "10"}, {"a11", "11"}, {"a12", "12"}, {"a13", "13"}, {"a14", "14"},
          {"a15", "15"}, {"a16", "16"}, {"a17", "17"}},
         "<Note a1=\"1\" a2=\"two\" a3=\"3\" a4=\"4\" a5=\"5\" a6=\"6\" a7=\"7\" a8=\"8\" a9=\"9\" a10=\"10\" "
         "a11=\"11\" a12=\"12\" a13=\"13\" a14=\"14\" a15=\"15\" a16=\"16\" a17=\"17\"/>"},
        {"few again after many", {{"Value", "2"}}, "<Note Value=\"2\"/>"},
    };
    XPxmlDoc doc;
    ASSERT_EQ(doc.loadText("<List/>"), 0);
    XPxmlNode* list = doc.rootElement();
    XPxmlElementMaker maker; // shared by the rows: nothing of one may reach the next
    for (const Row& row : rows) {
        std::vector<XPxmlAttributeName> names;
        for (const auto& [name, value] : row.attributes)
            names.emplace_back(name);
        for (size_t i = 0; i < names.size(); ++i)
            maker.add(names[i], row.attributes[i].second);
        XPxmlNode* made = maker.appendTo(*list, "Note");
        ASSERT_EQ(made->parent(), list) << row.what;
        EXPECT_EQ(made->document(), &doc) << row.what;
        EXPECT_TRUE(made->isModified()) << row.what;
        EXPECT_EQ(written(made), row.expected) << row.what;

        std::unique_ptr<XPxmlNode> bySetAttribute(XPxmlNode::create("Note"));
        for (const auto& [name, value] : row.attributes)
            bySetAttribute->setAttribute(name.c_str(), value.c_str());
        EXPECT_EQ(written(bySetAttribute.get()), row.expected) << row.what;
    }
    EXPECT_EQ(list->childCount(), std::size(rows));
}

TEST(ElementMaker, MadeElementsAnswerAndChangeAsParsedOnes)
{
    XPxmlDoc doc;
    ASSERT_EQ(doc.loadText("<List/>"), 0);
    const XPxmlAttributeName value("Value"), odd("Odd");
    XPxmlElementMaker maker;
    XPxmlNode* note = maker.add(value, "4").add(odd, "x").appendTo(*doc.rootElement(), "Note");
    EXPECT_STREQ(note->getAttribute("VALUE"), "4");
    EXPECT_STREQ(note->getAttribute("odd"), "x");
    note->setAttribute("~Pos", "12,40"); // the working position a layout adds
    note->setAttribute("Value", "8");
    note->removeAttribute("Odd");
    EXPECT_EQ(written(note), "<Note Value=\"8\" ~Pos=\"12,40\"/>");
    EXPECT_EQ(note->attributes().count(), 2u);
}

} // namespace
