#pragma once

#include "xml/xpxml_node.h"

// The node at the top of a document's tree ("#document"): the one node that
// knows its document, which every node below finds through its parents.
class XPxmlDocumentNode final : public XPxmlNode {
public:
    explicit XPxmlDocumentNode(XPxmlDoc* owner) : XPxmlNode(XPxmlKind::Document), m_owner(owner)
    {
        m_name.assign("#document");
        m_isDocumentNode = true;
    }
    XPxmlDoc* owner() const { return m_owner; }

private:
    XPxmlDoc* m_owner;
};
