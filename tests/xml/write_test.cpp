#include "xml/xpxml.h"
#include "xml/xpxml_writer.h"
#include "written_text.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

TEST(Write, ElementShapes)
{
    struct Row {
        const char* input;
        const char* output;
    };
    const Row rows[] = {
        {"<Note/>", "<Note/>"},
        {"<Note Value='4' Tines=\"1,3\"/>", "<Note Value=\"4\" Tines=\"1,3\"/>"},
        {"<a k=\"v\">\n  some text\n</a>", "<a k=\"v\">  some text</a>"},
        {"<a><b/><c>x</c></a>", "<a><b/><c>x</c></a>"},
        {"<a t=\"&lt;&amp;\">&lt;&amp;</a>", "<a t=\"<&\"><&</a>"},
        {"<a><!-- c --><![CDATA[d]]><?pi x ?></a>", "<a><!-- c --><![CDATA[d]]><?pi  x ?></a>"},
    };
    for (const Row& row : rows) {
        XPxmlDoc doc;
        ASSERT_EQ(doc.loadText(row.input), 0) << row.input << ": " << doc.errorText();
        EXPECT_EQ(written(doc.rootElement()), row.output) << row.input;
    }
}

TEST(Write, WorkingNodesAndAttributesAreLeftOut)
{
    XPxmlDoc doc;
    doc.setIgnorePrefix("~");
    ASSERT_EQ(doc.loadText("<Notes><Note Value=\"4\"/><~Work><Note/></~Work></Notes>"), 0);
    XPxmlNode* note = doc.findElement("Note");
    note->setAttribute("~Pos", "0,20");
    note->setAttribute("~Error", "Y");
    EXPECT_EQ(written(doc.rootElement()), "<Notes><Note Value=\"4\"/></Notes>");
}

TEST(Write, AttributesOfDetachedElementsFollowTheirDocumentOnceInserted)
{
    XPxmlDoc doc;
    doc.setIgnorePrefix("~");
    XPxmlNode* root = doc.documentNode()->createChild(XPxmlList::AtEnd, "r");
    XPxmlNode* bar = XPxmlNode::create("Bar");
    bar->setAttribute("~Error", "Y"); // set before it joined the document
    root->appendChild(bar);
    EXPECT_EQ(written(root), "<r><Bar/></r>");
}

TEST(Write, NamelessNodeReportsButChildrenAreWritten)
{
    XPxmlDoc doc;
    XPxmlNode* root = doc.documentNode()->createChild(XPxmlList::AtEnd, "r");
    XPxmlNode* nameless = root->createChild(XPxmlList::AtEnd, "");
    nameless->createChild(XPxmlList::AtEnd, "child");
    std::string out;
    EXPECT_EQ(XPxmlWriter::write(nameless, out), XPxmlError::NoNodeName);
    EXPECT_EQ(out, "<child/>");
    EXPECT_EQ(nameless->result(), XPxmlError::NoNodeName);
    EXPECT_EQ(doc.errorCode(), XPxmlError::NoNodeName);
    EXPECT_STREQ(doc.errorText(), "No node name.");
    EXPECT_EQ(written(root), "<r><child/></r>");
    EXPECT_EQ(root->result(), 0);
}

TEST(Write, EveryKindRoundTrips)
{
    const char* text =
        "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY e \"v\">]><!--top--><r a=\"1\">x<b/><![CDATA[<c>]]>y</r>";
    XPxmlDoc doc;
    ASSERT_EQ(doc.loadText(text), 0) << doc.errorText();
    const std::string first = written(doc.documentNode());
    XPxmlDoc again;
    ASSERT_EQ(again.loadText(first.c_str()), 0) << again.errorText() << "\n" << first;
    EXPECT_EQ(written(again.rootElement()), written(doc.rootElement()));
    EXPECT_EQ(again.documentNode()->childCount(), doc.documentNode()->childCount());
    EXPECT_NE(first.find("<?xml  version=\"1.0\"?><!DOCTYPE r  [\r\n<!ENTITY e \"v\">]><!--top-->"), std::string::npos)
        << first;
}

TEST(Write, TextAndEntityReferenceNodesWriteTheirValue)
{
    std::unique_ptr<XPxmlNode> holder(XPxmlNode::create("h"));
    holder->createChild(XPxmlList::AtEnd, "#text", "text")->setValue("a&b");
    holder->createChild(XPxmlList::AtEnd, "ref", "entityreference")->setValue("&amp;");
    EXPECT_EQ(holder->textContent(), "a&b&amp;");
}

} // namespace
