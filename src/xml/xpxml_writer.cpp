#include "xml/xpxml_writer.h"

#include "xml/xpxml_doc.h"
#include "xml/xpxml_node.h"

#include <vector>

namespace {

void append(std::string& out, const char* a, const char* b = "", const char* c = "", const char* d = "",
            const char* e = "")
{
    out += a;
    out += b;
    out += c;
    out += d;
    out += e;
}

struct AttributeRows {
    std::string& out;
    XPxmlDoc* doc;
};

// The attribute row, written here rather than through write() so that the
// document is not looked up again for every attribute.
bool writeAttribute(const char* name, const char* value, const XPxmlNode* node, void* context)
{
    auto* rows = static_cast<AttributeRows*>(context);
    if (rows->doc && rows->doc->hasIgnorePrefix(name))
        return false;
    const bool named = *name != '\0';
    if (node)
        XPxmlWriter::markWritten(node, named);
    if (named)
        append(rows->out, " ", name, "=\"", value, "\"");
    else if (rows->doc)
        rows->doc->setError(XPxmlError::NoNodeName, "No node name.");
    return false;
}

void writeOpening(const XPxmlNode* node, bool hasChildren, std::string& out, XPxmlDoc* doc)
{
    const char* name = node->name();
    const char* value = node->value();
    switch (node->kind()) {
    case XPxmlKind::Element: {
        append(out, "<", name);
        AttributeRows rows{out, doc};
        node->visitAttributes(&writeAttribute, &rows);
        if (*value || hasChildren)
            append(out, ">", value);
        break;
    }
    case XPxmlKind::Attribute: append(out, " ", name, "=\"", value, "\""); break;
    case XPxmlKind::Text:
    case XPxmlKind::EntityReference: append(out, value); break;
    case XPxmlKind::CDataSection: append(out, "<![CDATA[", value); break;
    case XPxmlKind::Entity: append(out, "<!ENTITY ", name, " \"", value, "\""); break;
    case XPxmlKind::ElementDeclaration: append(out, "<!ELEMENT ", name, " \"", value, "\""); break;
    case XPxmlKind::ProcessingInstruction: append(out, "<?", name, " ", value); break;
    case XPxmlKind::Comment: append(out, "<!", value); break;
    case XPxmlKind::DocumentType: append(out, "<!DOCTYPE ", name, " ", value, "\r\n"); break;
    default: break; // document, fragment, notation: nothing of their own
    }
}

void writeClosing(const XPxmlNode* node, bool hasChildren, std::string& out)
{
    switch (node->kind()) {
    case XPxmlKind::Element:
        if (!hasChildren && !*node->value())
            out += "/>";
        else
            append(out, "</", node->name(), ">");
        break;
    case XPxmlKind::Entity:
    case XPxmlKind::ElementDeclaration:
    case XPxmlKind::Comment:
    case XPxmlKind::Notation: out += ">"; break;
    case XPxmlKind::CDataSection: out += "]]>"; break;
    case XPxmlKind::ProcessingInstruction: out += "?>"; break;
    case XPxmlKind::DocumentType: out += "]>"; break;
    default: break;
    }
}

} // namespace

void XPxmlWriter::markWritten(const XPxmlNode* node, bool named)
{
    node->setWriteFailed(!named);
}

int XPxmlWriter::write(const XPxmlNode* top, std::string& out)
{
    if (!top)
        return 0;
    // Without recursion: a frame is a node to open, or one to close.
    struct Frame {
        const XPxmlNode* node;
        bool closing;
        bool named;
    };
    // Everything below top is in top's document: look it up once.
    XPxmlDoc* doc = top->document();
    std::vector<Frame> frames{{top, false, true}};
    while (!frames.empty()) {
        Frame frame = frames.back();
        frames.pop_back();
        const XPxmlNode* node = frame.node;
        const bool hasChildren = node->childCount() > 0;
        if (frame.closing) {
            if (frame.named)
                writeClosing(node, hasChildren, out);
            continue;
        }
        if (doc && doc->hasIgnorePrefix(node->name()))
            continue;
        const bool named = *node->name() != '\0';
        markWritten(node, named);
        if (named)
            writeOpening(node, hasChildren, out, doc);
        else if (doc)
            doc->setError(XPxmlError::NoNodeName, "No node name.");
        frames.push_back({node, true, named});
        for (uint32_t i = node->childCount(); i-- > 0;)
            if (const XPxmlNode* child = node->childAt(i))
                frames.push_back({child, false, true});
    }
    return top->result();
}
