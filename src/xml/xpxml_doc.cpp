#include "xml/xpxml_doc.h"

#include "xml/xpxml_document_node.h"

#include "xml/xpxml_kind.h"

#include <cstdio>
#include <cstring>
#include <vector>

XPxmlDoc::XPxmlDoc() : m_documentNode(new XPxmlDocumentNode(this)) {}

XPxmlNode* XPxmlDoc::documentNode() const
{
    return m_documentNode;
}

XPxmlDoc::~XPxmlDoc()
{
    delete m_documentNode;
}

XPxmlNode* XPxmlDoc::rootElement() const
{
    return m_documentNode->firstElementChild();
}

XPxmlNode* XPxmlDoc::nextInDocumentOrder(XPxmlNode* current) const
{
    return nextBelow(current, rootElement());
}

XPxmlNode* XPxmlDoc::nextBelow(XPxmlNode* current, const XPxmlNode* root)
{
    if (!current)
        return nullptr;
    if (XPxmlNode* child = current->firstElementChild())
        return child;
    // Climb until a level has a further element; never above the root.
    for (XPxmlNode* node = current; node && node != root; node = node->parent())
        if (XPxmlNode* sibling = node->nextElementSibling())
            return sibling;
    return nullptr;
}

XPxmlNode* XPxmlDoc::findElement(const char* name)
{
    const XPxmlNode* root = rootElement();
    m_walkPosition = rootElement();
    for (; m_walkPosition; m_walkPosition = nextBelow(m_walkPosition, root))
        if (xpxmlNameEquals(m_walkPosition->name(), name))
            return m_walkPosition;
    return nullptr;
}

bool XPxmlDoc::isModified() const
{
    const XPxmlNode* root = rootElement();
    for (XPxmlNode* node = rootElement(); node; node = nextBelow(node, root))
        if (node->isModified())
            return true;
    return false;
}

void XPxmlDoc::clearModified()
{
    // Each element's children are read in one locked pass over its list, not
    // a locked step per sibling, and each is cleared as it is met: a document
    // just built has a million of them, and a second visit would find most of
    // them gone from the cache. Only elements that ever had children are
    // looked into.
    XPxmlNode* root = rootElement();
    if (!root)
        return;
    root->setModified(false);
    std::vector<XPxmlNode*> pending{root};
    while (!pending.empty()) {
        XPxmlNode* node = pending.back();
        pending.pop_back();
        node->children().scan(
            [](void* entry, void* context) {
                auto* child = static_cast<XPxmlNode*>(entry);
                if (child->kind() == XPxmlKind::Element) {
                    child->setModified(false);
                    if (child->children().hasStorage())
                        static_cast<std::vector<XPxmlNode*>*>(context)->push_back(child);
                }
                return false;
            },
            &pending);
    }
}

void XPxmlDoc::setError(int code, const std::string& message)
{
    m_errorCode = code;
    if (m_loading) {
        char prefix[64];
        std::snprintf(prefix, sizeof prefix, "(XPxml line %ld) Line:%ld> ", long(code), m_line);
        m_errorText = prefix;
        m_errorText += message;
    } else {
        m_errorText = message;
    }
    if (m_errorText.size() > kMaxErrorText)
        m_errorText.resize(kMaxErrorText);
}

void XPxmlDoc::clearError()
{
    m_errorCode = 0;
    m_errorText.clear();
}

void XPxmlDoc::setIgnorePrefix(const char* prefix)
{
    m_ignorePrefix = prefix ? prefix : "";
    if (m_ignorePrefix.size() > kMaxIgnorePrefix)
        m_ignorePrefix.resize(kMaxIgnorePrefix);
}

bool XPxmlDoc::hasIgnorePrefix(const char* name) const
{
    return !m_ignorePrefix.empty() && name &&
           std::strncmp(name, m_ignorePrefix.c_str(), m_ignorePrefix.size()) == 0;
}

int XPxmlDoc::loadText(const char* text)
{
    return loadText(text, text ? std::strlen(text) : 0);
}
