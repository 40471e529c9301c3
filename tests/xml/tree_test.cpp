#include "xml/xpxml.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::string> childNames(XPxmlNode* node)
{
    std::vector<std::string> names;
    for (XPxmlNode* child = node->firstChild(); child; child = node->nextChild())
        names.emplace_back(child->name());
    return names;
}

using Names = std::vector<std::string>;

TEST(Kinds, TableNamesAndCodes)
{
    EXPECT_EQ(XPxmlKind::codeOf("TEXT"), XPxmlKind::Text);
    EXPECT_EQ(XPxmlKind::codeOf("ProcessingInstruction"), XPxmlKind::ProcessingInstruction);
    EXPECT_EQ(XPxmlKind::codeOf("all"), XPxmlKind::All);
    EXPECT_EQ(XPxmlKind::codeOf("banana"), XPxmlKind::Undefined);
    EXPECT_EQ(XPxmlKind::codeOf(nullptr), XPxmlKind::Undefined);
    EXPECT_STREQ(XPxmlKind::nameOf(XPxmlKind::Comment), "comment");
    EXPECT_EQ(XPxmlKind::nameOf(XPxmlKind::ElementDeclaration), nullptr);
}

TEST(NodeCreation, KindByNameCaseInsensitively)
{
    std::unique_ptr<XPxmlNode> text(XPxmlNode::create("#text", "Text"));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->kind(), XPxmlKind::Text);
    std::unique_ptr<XPxmlNode> element(XPxmlNode::create("a", ""));
    EXPECT_EQ(element->kind(), XPxmlKind::Element);
    EXPECT_TRUE(element->isModified());
    EXPECT_EQ(element->parent(), nullptr);
    EXPECT_EQ(element->document(), nullptr);
    EXPECT_EQ(XPxmlNode::create("a", "banana"), nullptr);
    EXPECT_EQ(XPxmlNode::create("a", "undefined"), nullptr);
}

TEST(NodeCreation, SetNameAndValueReportChanges)
{
    XPxmlDoc doc;
    doc.setIgnorePrefix("~");
    XPxmlNode* root = doc.documentNode()->createChild(XPxmlList::AtEnd, "Zolva");
    doc.clearModified();
    root->setName("Zolva");
    EXPECT_FALSE(root->isModified()) << "same name changes nothing";
    root->setName("~Work");
    EXPECT_FALSE(root->isModified()) << "a working name does not mark the node";
    EXPECT_STREQ(root->name(), "~Work");
    root->setName("Zolva");
    EXPECT_TRUE(root->isModified());

    EXPECT_EQ(root->setValue("v"), 1);
    EXPECT_EQ(root->setValue("v"), 0);
    EXPECT_EQ(root->setValue("V"), 1) << "values compare case-sensitively";
    std::string longValue(300, 'x');
    EXPECT_EQ(root->setValue(longValue.c_str()), 1);
    EXPECT_EQ(root->value(), longValue);
}

struct TreeTest : ::testing::Test {
    XPxmlDoc doc;
    XPxmlNode* root = nullptr;
    void SetUp() override
    {
        ASSERT_EQ(doc.loadText("<r><a/><!--c--><b/>t<c/></r>"), 0) << doc.errorText();
        root = doc.rootElement();
    }
};

TEST_F(TreeTest, NavigationByKind)
{
    EXPECT_EQ(childNames(root), (Names{"a", "#comment", "b", "#text", "c"}));
    EXPECT_STREQ(root->firstChild("comment")->name(), "#comment");
    EXPECT_STREQ(root->nextChild("element")->name(), "b");
    EXPECT_STREQ(root->nextChild("element")->name(), "c");
    EXPECT_EQ(root->nextChild("element"), nullptr);
    EXPECT_STREQ(root->lastChild("text")->value(), "t");
    EXPECT_STREQ(root->prevChild("element")->name(), "b");
    EXPECT_EQ(root->firstChild("banana"), nullptr) << "an unknown kind matches nothing";
}

TEST_F(TreeTest, FindChildByNameAndAfter)
{
    XPxmlNode* b = root->findChild("B");
    ASSERT_TRUE(b);
    EXPECT_STREQ(b->name(), "b");
    EXPECT_EQ(root->children().current(), b) << "the cursor is left on the child found";
    EXPECT_STREQ(root->findChild("c", b)->name(), "c");
    EXPECT_EQ(root->findChild("a", b), nullptr);
    XPxmlNode* stranger = XPxmlNode::create("x");
    EXPECT_EQ(root->findChild("c", stranger), nullptr);
    delete stranger;
}

TEST_F(TreeTest, SiblingsLeaveCursorAlone)
{
    XPxmlNode* b = root->findChild("b");
    root->children().getAt(4);
    EXPECT_STREQ(b->nextSibling()->name(), "#text");
    EXPECT_STREQ(b->prevSibling()->name(), "#comment");
    EXPECT_EQ(root->children().cursor(), 4);
    EXPECT_EQ(root->nextSibling(), nullptr) << "the root has no siblings of kind element";
    XPxmlNode* c = root->findChild("c");
    EXPECT_EQ(c->nextSibling(), nullptr);
    EXPECT_EQ(root->findChild("a")->prevSibling(), nullptr);
}

TEST_F(TreeTest, SiblingWalkSurvivesInsertionsAndRemovals)
{
    XPxmlNode* a = root->findChild("a");
    XPxmlNode* b = root->findChild("b");
    ASSERT_STREQ(a->nextSibling()->name(), "#comment");
    root->createChild(XPxmlList::AtFront, "front1");
    root->createChild(XPxmlList::AtFront, "front2");
    EXPECT_STREQ(a->nextSibling()->name(), "#comment");
    EXPECT_STREQ(b->prevSibling()->name(), "#comment");
    delete root->findChild("front1")->detach();
    EXPECT_STREQ(b->nextSibling()->name(), "#text");
}

TEST_F(TreeTest, InsertModesAndInsertBefore)
{
    XPxmlNode* b = root->findChild("b");
    XPxmlNode* x = XPxmlNode::create("x");
    ASSERT_EQ(root->insertBefore(x, b), 1);
    EXPECT_EQ(childNames(root), (Names{"a", "#comment", "x", "b", "#text", "c"}));
    EXPECT_EQ(x->document(), &doc);

    XPxmlNode* y = XPxmlNode::create("y");
    root->insertBefore(y, nullptr);
    EXPECT_STREQ(root->lastChild()->name(), "y");

    root->findChild("a");
    root->createChild(XPxmlList::AfterCurrent, "z");
    EXPECT_EQ(childNames(root), (Names{"a", "z", "#comment", "x", "b", "#text", "c", "y"}));
}

TEST_F(TreeTest, InsertingMovesNodeFromOldParent)
{
    XPxmlNode* a = root->findChild("a");
    XPxmlNode* c = root->findChild("c");
    ASSERT_EQ(a->appendChild(c), 1);
    EXPECT_EQ(c->parent(), a);
    EXPECT_EQ(childNames(root), (Names{"a", "#comment", "b", "#text"}));
    EXPECT_EQ(childNames(a), (Names{"c"}));
}

TEST_F(TreeTest, NodeCannotBeInsertedIntoItsOwnSubtree)
{
    XPxmlNode* a = root->findChild("a");
    EXPECT_EQ(a->appendChild(root), 0);
    EXPECT_EQ(root->appendChild(root), 0);
    EXPECT_EQ(root->parent(), doc.documentNode());
}

TEST_F(TreeTest, DetachClearsParentAndDocumentBelow)
{
    XPxmlNode* a = root->findChild("a");
    XPxmlNode* inner = a->createChild(XPxmlList::AtEnd, "inner");
    EXPECT_EQ(inner->document(), &doc);
    std::unique_ptr<XPxmlNode> detached(a->detach());
    EXPECT_EQ(detached.get(), a);
    EXPECT_EQ(a->parent(), nullptr);
    EXPECT_EQ(a->document(), nullptr);
    EXPECT_EQ(inner->document(), nullptr);
    EXPECT_EQ(a->detach(), nullptr) << "a node without parent gives none";
    EXPECT_EQ(root->childCount(), 4u);
}

TEST_F(TreeTest, SubtreeBelongsToTheDocumentThatHoldsIt)
{
    std::unique_ptr<XPxmlNode> outer(XPxmlNode::create("outer"));
    XPxmlNode* innerElement = outer->createChild(XPxmlList::AtEnd, "inner");
    innerElement->setAttribute("k", "v");
    auto* attribute = static_cast<XPxmlNode*>(innerElement->attributes().first());
    EXPECT_EQ(innerElement->document(), nullptr);
    root->appendChild(outer.get());
    XPxmlNode* attached = outer.release();
    EXPECT_EQ(attached->document(), &doc);
    EXPECT_EQ(innerElement->document(), &doc);
    EXPECT_EQ(attribute->document(), &doc);
}

TEST_F(TreeTest, DocumentNodeCannotBeMoved)
{
    EXPECT_EQ(root->appendChild(doc.documentNode()), 0);
    XPxmlDoc other;
    EXPECT_EQ(other.documentNode()->appendChild(doc.documentNode()), 0);
    EXPECT_EQ(doc.documentNode()->parent(), nullptr);
}

TEST_F(TreeTest, RemoveAllChildren)
{
    root->removeAllChildren();
    EXPECT_EQ(root->childCount(), 0u);
    EXPECT_EQ(root->firstChild(), nullptr);
}

TEST_F(TreeTest, ReplaceChildrenReordersAddsAndDetaches)
{
    XPxmlNode* a = root->findChild("a");
    XPxmlNode* b = root->findChild("b");
    XPxmlNode* text = root->lastChild("text");
    XPxmlNode* c = root->findChild("c");
    XPxmlNode* comment = root->firstChild("comment");
    XPxmlNode* x = XPxmlNode::create("x");
    XPxmlNode* order[] = {c, x, a, text};
    ASSERT_TRUE(root->replaceChildren(order, 4));
    std::unique_ptr<XPxmlNode> left[] = {std::unique_ptr<XPxmlNode>(b), std::unique_ptr<XPxmlNode>(comment)};
    EXPECT_EQ(childNames(root), (Names{"c", "x", "a", "#text"}));
    EXPECT_EQ(b->parent(), nullptr);
    EXPECT_EQ(comment->parent(), nullptr);
    EXPECT_EQ(x->document(), &doc);
    EXPECT_EQ(a->prevSibling(), x);
    root->lastChild();
    root->replaceChildren(order, 3);
    EXPECT_EQ(root->children().current(), a) << "the cursor ends on the last child";
    EXPECT_EQ(text->parent(), nullptr);
    delete text;
}

TEST_F(TreeTest, ReplaceChildrenRefusesWhatCannotGoThere)
{
    XPxmlNode* a = root->findChild("a");
    XPxmlNode* inner = a->createChild(XPxmlList::AtEnd, "inner");
    std::unique_ptr<XPxmlNode> top(XPxmlNode::create("top"));
    XPxmlNode* below = top->createChild(XPxmlList::AtEnd, "below");
    struct Case {
        const char* what;
        XPxmlNode* parent;
        std::vector<XPxmlNode*> children;
    } cases[] = {
        {"a null node", root, {a, nullptr}},
        {"a node named twice", root, {a, a}},
        {"the document node", root, {doc.documentNode()}},
        {"another node's child", root, {a, inner}},
        {"the top of its own tree", below, {top.get()}},
    };
    for (const Case& test : cases) {
        const Names before = childNames(test.parent);
        EXPECT_FALSE(test.parent->replaceChildren(test.children.data(), uint32_t(test.children.size())))
            << test.what;
        EXPECT_EQ(childNames(test.parent), before) << test.what;
    }
    std::vector<XPxmlNode*> all;
    for (XPxmlNode* child = root->firstChild(); child; child = root->nextChild())
        all.push_back(child);
    EXPECT_TRUE(root->replaceChildren(all.data(), uint32_t(all.size()))) << "a refusal leaves no mark behind";
}

TEST_F(TreeTest, DeepCloneCopiesEverythingAndIsDetached)
{
    root->setAttribute("k", "v");
    root->findChild("a")->setAttribute("x", "1");
    std::unique_ptr<XPxmlNode> copy(root->clone(true));
    EXPECT_EQ(copy->parent(), nullptr);
    EXPECT_EQ(copy->document(), nullptr);
    EXPECT_STREQ(copy->getAttribute("k"), "v");
    EXPECT_EQ(childNames(copy.get()), childNames(root));
    EXPECT_STREQ(copy->findChild("a")->getAttribute("x"), "1");
    EXPECT_EQ(copy->textContent(), root->textContent());

    std::unique_ptr<XPxmlNode> shallow(root->clone(false));
    EXPECT_EQ(shallow->childCount(), 0u);
    EXPECT_STREQ(shallow->getAttribute("k"), "v");
}

TEST(DocumentWalk, FindElementAndModifiedFlagsInDocumentOrder)
{
    XPxmlDoc doc;
    ASSERT_EQ(doc.loadText("<r><a><b/><Notes n='1'/></a><Notes n='2'/></r>"), 0);
    XPxmlNode* found = doc.findElement("notes");
    ASSERT_TRUE(found);
    EXPECT_STREQ(found->getAttribute("n"), "1");
    EXPECT_EQ(doc.findElement("nothing"), nullptr);

    EXPECT_TRUE(doc.isModified()) << "parsed nodes are new";
    doc.clearModified();
    EXPECT_FALSE(doc.isModified());
    doc.findElement("b")->setAttribute("x", "1");
    EXPECT_TRUE(doc.isModified());
}

TEST(DocumentWalk, DeepTreesNeedNoRecursion)
{
    XPxmlDoc doc;
    XPxmlNode* node = doc.documentNode()->createChild(XPxmlList::AtEnd, "root");
    for (int i = 0; i < 200000; ++i)
        node = node->createChild(XPxmlList::AtEnd, "n");
    node->setName("deepest");
    EXPECT_EQ(doc.findElement("deepest"), node);
    std::unique_ptr<XPxmlNode> copy(doc.rootElement()->clone(true));
    EXPECT_GT(copy->textContent().size(), 200000u);
    // destroying doc and copy must not overflow the stack either
}

} // namespace
