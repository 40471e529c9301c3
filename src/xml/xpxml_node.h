#pragma once

#include "xml/xpxml_kind.h"
#include "xml/xpxml_list.h"
#include "xml/xpxml_slab.h"
#include "xml/xpxml_text.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class XPxmlAttributeStore;
class XPxmlDoc;
class XPxmlNameSet;

// A node of any XML kind: a name, a value, attributes and a list of child
// nodes, all owned. Names compare without regard to case. Attributes are kept
// as names and values; a node of each is made only once attributes() is asked
// for, and from then on those nodes are the attributes.
//
// A node belongs to the document whose tree holds it: document() follows the
// parents up, so a detached node has none and inserting a subtree costs
// nothing per descendant.
//
// Navigation by kind (firstChild/nextChild …) moves the child list's cursor,
// which is how iteration continues. nextSibling/prevSibling do not: they are
// single locked steps, safe while another thread walks the same list.
class XPxmlNode {
public:
    // A detached node flagged modified; nullptr when kindName names no kind.
    // A null or empty kindName makes an element.
    static XPxmlNode* create(const char* name, const char* kindName = nullptr);
    ~XPxmlNode();
    XPxmlNode(const XPxmlNode&) = delete;
    XPxmlNode& operator=(const XPxmlNode&) = delete;
    static void* operator new(size_t size);
    static void* operator new(size_t size, XPxmlSlab::Carver& carver) { return carver.allocate(size); }
    static void operator delete(void* node, size_t size) noexcept;
    static void operator delete(void* node, XPxmlSlab::Carver&) noexcept { operator delete(node, sizeof(XPxmlNode)); }

    uint16_t kind() const { return m_kind; }
    const char* kindName() const { return XPxmlKind::nameOf(m_kind); }
    const char* name() const { return m_name.c_str(); }
    // Whether the name is name, compared as the whole library compares names.
    bool hasName(const char* name) const;
    const char* value() const { return m_value.c_str(); }
    // Renames; an equal name (case-sensitive) changes nothing, a name outside
    // the document's ignore prefix flags the node modified.
    void setName(const char* name);
    // 0 when the value is unchanged (case-sensitive), else flags the node and 1.
    int setValue(const char* value);

    XPxmlNode* parent() const { return m_parent; }
    XPxmlDoc* document() const;
    bool isModified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }
    // Error code of the last write of this node: 0, or 2910 for a nameless node.
    int result() const;

    XPxmlList& children() { return m_children; }
    const XPxmlList& children() const { return m_children; }
    // The attribute nodes, made on the first call.
    XPxmlList& attributes() { return attributeNodes(); }
    const XPxmlList& attributes() const { return attributeNodes(); }

    // --- navigation (moves the child list's cursor) ---
    XPxmlNode* firstChild(const char* kindName = "all");
    XPxmlNode* nextChild(const char* kindName = "all");
    XPxmlNode* lastChild(const char* kindName = "all");
    XPxmlNode* prevChild(const char* kindName = "all");
    // First child of any kind named name, searching behind after when given;
    // nullptr when after is not a child.
    XPxmlNode* findChild(const char* name, XPxmlNode* after = nullptr);
    XPxmlNode* pushCursor() { return static_cast<XPxmlNode*>(m_children.pushCursor()); }
    XPxmlNode* popCursor() { return static_cast<XPxmlNode*>(m_children.popCursor()); }

    // --- navigation that leaves every cursor alone ---
    XPxmlNode* nextSibling() const;
    XPxmlNode* prevSibling() const;
    XPxmlNode* firstElementChild() const;
    XPxmlNode* nextElementSibling() const;
    XPxmlNode* prevElementSibling() const;
    XPxmlNode* childAt(uint32_t index) const { return static_cast<XPxmlNode*>(m_children.at(index)); }
    uint32_t childCount() const { return m_children.count(); }
    // Up to max children from index from, in one step (XPxmlList::copyEntries).
    uint32_t childrenAt(uint32_t from, XPxmlNode** out, uint32_t max) const
    {
        return m_children.copyEntries(from, reinterpret_cast<void**>(out), max);
    }

    // --- structure ---
    // Detaches child from any old parent and inserts it at insertMode. 0 for a
    // null child, a bad mode, or a child that would end up inside itself.
    int insertChild(int insertMode, XPxmlNode* child);
    int appendChild(XPxmlNode* child) { return insertChild(XPxmlList::AtEnd, child); }
    // Before reference when it has a parent, else appended.
    int insertBefore(XPxmlNode* child, XPxmlNode* reference);
    XPxmlNode* createChild(int insertMode, const char* name, const char* kindName = nullptr);
    // Out of the parent's list: no parent, so no document below it either.
    // nullptr for a node without parent.
    XPxmlNode* detach();
    void removeAllChildren();
    // Makes children[0..n) the children, in that order, in one step over the
    // list (detaching and appending node by node costs a locked step each):
    // for rebuilding a long list. Each must be a child already or have no
    // parent; children left out are detached, not destroyed. False, changing
    // nothing, for a null or doubled node, a document node, another node's
    // child or one that would end up inside itself. The cursor ends on the
    // last child.
    bool replaceChildren(XPxmlNode* const* children, uint32_t n);
    // Same kind, name, value and attributes (and children when deep); detached.
    XPxmlNode* clone(bool deep) const;

    // --- attributes ---
    // The value text (valid until the attribute changes), or nullptr when absent.
    const char* getAttribute(const char* name) const;
    // Copies the value into buffer (cut to size - 1 bytes) and returns 1;
    // stores "" and returns 0 when absent.
    int getAttributeCopy(const char* name, char* buffer, size_t size) const;
    // The value copied under the list's lock; false (out untouched) when absent.
    bool getAttributeCopy(const char* name, std::string& out) const;
    // The value's leading integer (blanks and a sign allowed, no digits: 0) and
    // 1; 0 with out unchanged when absent.
    int getAttributeNumber(const char* name, long* out) const;
    // The attribute's node (made for every attribute on the first call), or nullptr.
    XPxmlNode* findAttribute(const char* name) const;
    // Calls visit on each attribute in order, under the attributes' lock,
    // until it returns true; node is the attribute's node when one has been
    // made, else nullptr. visit must not call back into this node.
    using AttributeVisitor = bool (*)(const char* name, const char* value, const XPxmlNode* node, void* context);
    void visitAttributes(AttributeVisitor visit, void* context) const;
    // Sets values[i] to the value of the attribute named names[i], or to
    // nullptr when there is none, in one look at the attributes. The values
    // stay valid as getAttribute's do.
    void readAttributes(const XPxmlNameSet& names, const char** values) const;
    void setAttribute(const char* name, const char* value);
    // The same for the name at place which of names, with the value's length
    // known: for a caller writing the same name into element after element,
    // as the name is looked up once for the set.
    void setAttribute(const XPxmlNameSet& names, uint32_t which, std::string_view value);
    void removeAttribute(const char* name);
    void removeAllAttributes();

    // The value when not empty, else the children written one after another,
    // unindented and unescaped; "" at least.
    std::string textContent() const;

    // True when name begins with the document's ignore prefix (working data).
    bool isIgnoredName(const char* name) const;

private:
    explicit XPxmlNode(uint16_t kind);
    void setWriteFailed(bool failed) const { m_writeFailed = failed; }
    bool wouldLoop(const XPxmlNode* child) const;
    // From entry (already reached by a cursor move), on to the first child of
    // the kind, moving the cursor forward or backward.
    XPxmlNode* stepToKind(void* entry, bool forward, const char* kindName);
    // Parser and clone: child is new and seen by no one else. Returns it.
    XPxmlNode* appendParsedChild(std::unique_ptr<XPxmlNode> child);
    // The same below a node that is itself still being built, out of every
    // other thread's reach (a document node never is): no lock is taken.
    XPxmlNode* appendChildUnshared(std::unique_ptr<XPxmlNode> child);
    XPxmlNode* appendNewChild(std::unique_ptr<XPxmlNode> child, bool unshared);
    static void destroy(void* node);
    XPxmlAttributeStore* attributeStore() const { return m_attributes.load(std::memory_order_acquire); }
    XPxmlAttributeStore& ensureAttributeStore() const;
    XPxmlList& attributeNodes() const;
    // A copy of the attributes for a clone; nullptr when there are none.
    XPxmlAttributeStore* copyAttributes() const;
    // setAttribute with common = xpxmlCommonName(name, true).
    void setAttributeNamed(const char* name, const char* common, std::string_view value);
    // The attribute list's own lookup, once the attributes are nodes.
    XPxmlNode* findAttributeNode(const char* name) const;
    void destroyAttributes() noexcept;

    friend class XPxmlAttributeFiller;
    friend class XPxmlDoc;
    friend class XPxmlDocumentNode;
    friend class XPxmlElementMaker;
    friend class XPxmlParser;
    friend class XPxmlWriter;

    // Kind codes fit a byte (the largest stored is 99) and a write result is
    // 0 or 2910: keeping the header to eight bytes matters with millions of nodes.
    uint8_t m_kind;
    bool m_modified = true;
    mutable bool m_writeFailed = false;
    bool m_isDocumentNode = false;
    mutable std::atomic<uint32_t> m_indexHint{0}; // where this node last sat in its parent's list
    XPxmlText m_name;
    XPxmlText m_value;
    XPxmlNode* m_parent = nullptr;
    XPxmlList m_children{XPxmlList::kNodeListGrowth};
    mutable std::atomic<XPxmlAttributeStore*> m_attributes{nullptr}; // made with the first attribute
};

// Reads the leading decimal integer of text: optional blanks and sign, then
// digits up to the first other character; no digits read as 0. Saturates at
// the limits of a 32-bit integer.
long xpxmlLeadingInteger(const char* text);
// The attribute's text, or null when element is null or lacks it.
const char* xpxmlAttributeOf(const XPxmlNode* element, const char* name);
