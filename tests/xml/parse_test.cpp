#include "xml/xpxml.h"
#include "xml/xpxml_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Loads text and returns the root element; fails the test on a parse error.
XPxmlNode* load(XPxmlDoc& doc, const std::string& text)
{
    EXPECT_EQ(doc.loadText(text.c_str()), 0) << doc.errorText() << "\n in: " << text;
    return doc.rootElement();
}

TEST(Parse, EntitiesInText)
{
    struct Row {
        const char* content;
        const char* text;
    };
    const Row rows[] = {
        {"&AMP;", "&"},          {"&amp;&apos;&lt;&gt;&quot;", "&'<>\""},
        {"x&nbsp;y", "x y"},     {"&#65;", "A"},
        {"&#321;", "A"},         {"a&#x41;b", "ab"},
        {"&undeclared;", "undeclared"}, {"a & b", "a & b"},
        {"&#0;z", "z"},
    };
    for (const Row& row : rows) {
        XPxmlDoc doc;
        XPxmlNode* root = load(doc, std::string("<r>") + row.content + "</r>");
        ASSERT_TRUE(root) << row.content;
        EXPECT_EQ(root->textContent(), row.text) << row.content;
    }
}

TEST(Parse, AttributeValues)
{
    struct Row {
        const char* attribute;
        const char* value;
    };
    const Row rows[] = {
        {"v=\"plain\"", "plain"},
        {"v='single'", "single"},
        {"v = \"spaced\"", "spaced"},
        {"v=\"&lt;&quot;\"", "<\""},
        {"v=\"it's\"", "it's"},
        {"v='say \"hi\"'", "say \"hi\""},
        {"v=\"two\nlines\"", "twolines"},
        {"v=\"a<b>c/d=e\"", "a<b>c/d=e"},
        {"v=\"\"", ""},
        {"v=\"  kept  \"", "  kept  "},
        {"v=\"caf\xC3\xA9\"", "caf\xC3\xA9"},
        {"v=&quot;opened by an entity\"", "opened by an entity"},
    };
    for (const Row& row : rows) {
        XPxmlDoc doc;
        XPxmlNode* root = load(doc, std::string("<r ") + row.attribute + "/>");
        ASSERT_TRUE(root) << row.attribute;
        ASSERT_NE(root->getAttribute("v"), nullptr) << row.attribute;
        EXPECT_STREQ(root->getAttribute("v"), row.value) << row.attribute;
    }
}

TEST(Parse, EmptyElementTagAndStartEndPairGiveTheSameNode)
{
    for (const char* text : {"<r><n a=\"1\"/></r>", "<r><n a=\"1\"></n></r>"}) {
        XPxmlDoc doc;
        XPxmlNode* n = load(doc, text)->firstChild();
        ASSERT_TRUE(n) << text;
        EXPECT_EQ(n->attributes().count(), 1u) << text;
        EXPECT_EQ(n->childCount(), 0u) << text;
    }
}

TEST(Parse, BlankRunsBetweenChildrenAreDropped)
{
    XPxmlDoc doc;
    XPxmlNode* root = load(doc, "<r>\n   <b/>  \n\t </r>");
    ASSERT_EQ(root->childCount(), 1u);
    EXPECT_STREQ(root->firstChild()->name(), "b");
}

TEST(Parse, MixedContentKeepsTextAroundChildren)
{
    XPxmlDoc doc;
    XPxmlNode* root = load(doc, "<r>x<b/>y</r>");
    ASSERT_EQ(root->childCount(), 3u);
    EXPECT_STREQ(root->childAt(0)->name(), "#text");
    EXPECT_STREQ(root->childAt(0)->value(), "x");
    EXPECT_EQ(root->childAt(0)->kind(), XPxmlKind::Text);
    EXPECT_STREQ(root->childAt(1)->name(), "b");
    EXPECT_STREQ(root->childAt(2)->value(), "y");
}

TEST(Parse, BlanksStayOnlyAtTheFrontOfTextThatFollowsThem)
{
    XPxmlDoc doc;
    XPxmlNode* root = load(doc, "<r> <b/> x <c/>\t\n <d/></r>");
    ASSERT_EQ(root->childCount(), 4u);
    EXPECT_STREQ(root->childAt(1)->value(), " x ");
    EXPECT_STREQ(root->childAt(2)->name(), "c");
    EXPECT_STREQ(root->childAt(3)->name(), "d");
}

TEST(Parse, RepeatedAttributeKeepsTheLastValue)
{
    for (const char* text : {"<r a=\"1\" a=\"2\"/>", "<r a=\"1\" A = '2'/>", "<r a=\"1\" a=\"&#50;\"/>"}) {
        XPxmlDoc doc;
        XPxmlNode* root = load(doc, text);
        EXPECT_EQ(root->attributes().count(), 1u) << text;
        EXPECT_STREQ(root->getAttribute("a"), "2") << text;
    }
}

TEST(Parse, LineBreaksInsideTagsJoinTheirNeighbours)
{
    // Line breaks are dropped without ending a token, so a name broken over
    // two lines reads as one; the line counter still counts them.
    XPxmlDoc doc;
    XPxmlNode* root = load(doc, "<r a=\"1\"\r\n b=\"2\" na\nme=\"3\"/>");
    EXPECT_STREQ(root->getAttribute("b"), "2");
    EXPECT_STREQ(root->getAttribute("name"), "3");
    EXPECT_EQ(doc.line(), 3);
}

TEST(Parse, LineBreaksAreNeverPartOfText)
{
    XPxmlDoc doc;
    XPxmlNode* root = load(doc, "<r>one\r\ntwo / three</r>");
    EXPECT_EQ(root->textContent(), "onetwo / three");
}

TEST(Parse, TopLevelNodesBesideTheRoot)
{
    XPxmlDoc doc;
    load(doc, "<?xml version=\"1.0\"?>\n<!-- c -->\n<Zolva/>\n<!--after-->");
    XPxmlNode* top = doc.documentNode();
    ASSERT_EQ(top->childCount(), 4u);
    EXPECT_EQ(top->childAt(0)->kind(), XPxmlKind::ProcessingInstruction);
    EXPECT_STREQ(top->childAt(0)->name(), "xml");
    EXPECT_STREQ(top->childAt(0)->value(), " version=\"1.0\"");
    EXPECT_EQ(top->childAt(1)->kind(), XPxmlKind::Comment);
    EXPECT_STREQ(top->childAt(1)->name(), "#comment");
    EXPECT_STREQ(top->childAt(1)->value(), "-- c --");
    EXPECT_STREQ(top->childAt(3)->value(), "--after--");
    EXPECT_STREQ(doc.rootElement()->name(), "Zolva");
}

TEST(Parse, CDataKeepsMarkupAndEntitiesUndecoded)
{
    XPxmlDoc doc;
    XPxmlNode* root = load(doc, "<r><![CDATA[a<b> &amp; c]]></r>");
    XPxmlNode* section = root->firstChild();
    ASSERT_TRUE(section);
    EXPECT_EQ(section->kind(), XPxmlKind::CDataSection);
    EXPECT_STREQ(section->name(), "#cdata-section");
    EXPECT_STREQ(section->value(), "a<b> &amp; c");
}

TEST(Parse, DeclaredEntitiesExpandAfterTheDocumentType)
{
    XPxmlDoc doc;
    XPxmlNode* root = load(doc,
                           "<!DOCTYPE r [\n<!ENTITY who \"World\">\n<!ELEMENT r \"any\">\n]>\n"
                           "<r greeting=\"Hi &WHO;\">Hello &who;</r>");
    EXPECT_EQ(root->textContent(), "Hello World");
    EXPECT_STREQ(root->getAttribute("greeting"), "Hi World");
    XPxmlNode* doctype = doc.documentNode()->firstChild("documenttype");
    ASSERT_TRUE(doctype);
    EXPECT_STREQ(doctype->name(), "r");
    ASSERT_EQ(doctype->childCount(), 2u);
    EXPECT_EQ(doctype->childAt(0)->kind(), XPxmlKind::Entity);
    EXPECT_EQ(doctype->childAt(1)->kind(), XPxmlKind::ElementDeclaration);
}

TEST(Parse, DocumentTypeWithoutInternalSubset)
{
    XPxmlDoc doc;
    load(doc, "<!DOCTYPE html><html/>");
    EXPECT_NE(doc.documentNode()->firstChild("documenttype"), nullptr);
    EXPECT_STREQ(doc.rootElement()->name(), "html");
}

TEST(Parse, EmptyOrBlankTextLoadsAsEmptyDocument)
{
    for (const char* text : {"", "  \n\t  "}) {
        XPxmlDoc doc;
        EXPECT_EQ(doc.loadText(text), 0);
        EXPECT_EQ(doc.rootElement(), nullptr);
    }
    XPxmlDoc doc;
    EXPECT_EQ(doc.loadText(nullptr), 0);
}

TEST(Parse, ReadingStopsAtZeroByte)
{
    const char text[] = "<a/>\0<b/>";
    XPxmlDoc doc;
    EXPECT_EQ(doc.loadText(text, sizeof text), 0);
    EXPECT_STREQ(doc.rootElement()->name(), "a");
}

TEST(Parse, EndTagComparesWithoutCaseAndMayHaveBlanks)
{
    XPxmlDoc doc;
    XPxmlNode* root = load(doc, "<Notes><Note></NOTE ></notes>");
    EXPECT_EQ(root->childCount(), 1u);
}

TEST(Parse, LoadingAgainReplacesTheTree)
{
    XPxmlDoc doc;
    load(doc, "<!--x--><a/>");
    load(doc, "<b/>");
    EXPECT_EQ(doc.documentNode()->childCount(), 1u);
    EXPECT_STREQ(doc.rootElement()->name(), "b");
    EXPECT_EQ(doc.rootElement()->document(), &doc);
}

TEST(Parse, MusicFileShape)
{
    XPxmlDoc doc;
    doc.setIgnorePrefix("~");
    XPxmlNode* root = load(doc,
                           "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                           "<Zolva Version=\"1.0.14\">\n"
                           "  <Config>\n"
                           "    <Tines Number=\"17\" NoteValues=\"86,83,79\" Shade=\"001001\"/>\n"
                           "    <Notes Tails=\"Modern\" Scale=\"1.000\"/>\n"
                           "  </Config>\n"
                           "  <Notes>\n"
                           "    <Bar Type=\"Auto\" Timing=\"A4/4\"/>\n"
                           "    <Note Value=\"4.\" Tines=\"1,3\" Text=\"la la\"/>\n"
                           "    <Rest Value=\"8\"/>\n"
                           "  </Notes>\n"
                           "</Zolva>\n");
    XPxmlNode* notes = root->findChild("Notes", root->findChild("Config"));
    ASSERT_TRUE(notes);
    ASSERT_EQ(notes->childCount(), 3u);
    XPxmlNode* note = notes->childAt(1);
    EXPECT_STREQ(note->getAttribute("Text"), "la la");
    EXPECT_STREQ(note->nextSibling()->name(), "Rest");
}

// Children take a quicker road through the reader than the root does; both
// must build the same element, count the same lines and leave the same
// attribute order, whatever shape the tag has.
TEST(Parse, ChildTagsReadAsTheRootTagDoes)
{
    const char* tags[] = {
        "<n Value=\"4\" Tines=\"1,3\"/>",
        "<n a='x' b = \"y\"\n c=\"z\"/>",
        "<n a=\"1\" A='2' a=\"3\"/>",
        "<n Value=\"1\" VALUE=\"2\" Tines=\"3\" value=\"4\"/>",
        "<n a=\"1\"b=\"2\"/>",
        "<n v=\"a>b\" w=\"&lt;\"/>",
        "<n v=\"it's\" w='say \"hi\"'/>",
        "<n na\nme=\"3\" x=\"two\nlines\"/>",
        "<n a=\"1\" b=\"2\" c=\"3\" d=\"4\" e=\"5\" f=\"6\" g=\"7\" h=\"8\" i=\"9\" a=\"0\"/>",
        "<n Text=\"caf\xC3\xA9\" ~Pos=\"12,30\"></n>",
        "<n\n/>",
        "<n a=\"1\"><m b=\"2\"/>text</n>",
    };
    for (const char* tag : tags) {
        XPxmlDoc asRoot, asChild;
        XPxmlNode* root = load(asRoot, std::string(tag) + "\n");
        XPxmlNode* parent = load(asChild, std::string("<r>") + tag + "\n</r>");
        ASSERT_TRUE(root && parent && parent->firstChild()) << tag;
        std::string expected, written;
        XPxmlWriter::write(root, expected);
        XPxmlWriter::write(parent->firstChild(), written);
        EXPECT_EQ(written, expected) << tag;
        EXPECT_EQ(asChild.line(), asRoot.line()) << tag;
    }
}

TEST(Parse, NestingUpToTheLimitLoads)
{
    std::string text;
    for (int i = 0; i < XPxmlDoc::kMaxNesting; ++i)
        text += "<n>";
    for (int i = 0; i < XPxmlDoc::kMaxNesting; ++i)
        text += "</n>";
    XPxmlDoc doc;
    EXPECT_EQ(doc.loadText(text.c_str()), 0) << doc.errorText();
}

} // namespace
