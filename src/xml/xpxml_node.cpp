#include "xml/xpxml_node.h"

#include "xml/xpxml_doc.h"
#include "xml/xpxml_document_node.h"
#include "xml/xpxml_slab.h"
#include "xml/xpxml_writer.h"

#include <climits>
#include <cstring>
#include <utility>
#include <vector>

namespace {

bool kindMatches(const XPxmlNode* node, uint16_t code)
{
    return node && (code == XPxmlKind::All || node->kind() == code);
}

XPxmlNode* asNode(void* entry)
{
    return static_cast<XPxmlNode*>(entry);
}

} // namespace

const char* xpxmlAttributeOf(const XPxmlNode* element, const char* name)
{
    return element ? element->getAttribute(name) : nullptr;
}

long xpxmlLeadingInteger(const char* text)
{
    if (!text)
        return 0;
    while (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\r' || *text == '\v' || *text == '\f')
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-')
        negative = *text++ == '-';
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > 0x80000000LL)
            value = 0x80000000LL; // keep reading, but saturate
    }
    if (negative)
        return long(-value);
    return long(value > INT_MAX ? INT_MAX : value);
}

XPxmlNode::XPxmlNode(uint16_t kind) : m_kind(uint8_t(kind)) {}

void* XPxmlNode::operator new(size_t size)
{
    return XPxmlSlab::allocate(size);
}

void XPxmlNode::operator delete(void* node, size_t size) noexcept
{
    XPxmlSlab::release(node, size);
}

XPxmlNode* XPxmlNode::create(const char* name, const char* kindName)
{
    uint16_t kind = XPxmlKind::Element;
    if (kindName && *kindName) {
        kind = XPxmlKind::codeOf(kindName);
        if (kind == XPxmlKind::Undefined || kind == XPxmlKind::All)
            return nullptr;
    }
    auto* node = new XPxmlNode(kind);
    node->setName(name ? name : "");
    node->m_modified = true;
    return node;
}

XPxmlNode::~XPxmlNode()
{
    destroyAttributes();
    // The subtree goes without recursion (a deep tree would exhaust the stack)
    // and without allocating (running out of memory may be why it goes).
    // Leaves go at once; nodes with children of their own wait their turn,
    // chained through the parent pointers they no longer need.
    XPxmlNode* waiting = nullptr;
    auto takeChildren = [&waiting](XPxmlNode* node) {
        if (node->m_children.count() == 0)
            return;
        node->m_children.scan(
            [](void* entry, void* chain) {
                XPxmlNode* child = asNode(entry);
                auto** first = static_cast<XPxmlNode**>(chain);
                if (child->m_children.count() == 0) {
                    delete child;
                } else {
                    child->m_parent = *first;
                    *first = child;
                }
                return false;
            },
            &waiting);
        node->m_children.clear();
    };
    takeChildren(this);
    while (waiting) {
        XPxmlNode* node = waiting;
        waiting = node->m_parent;
        takeChildren(node);
        delete node;
    }
}

void XPxmlNode::destroy(void* node)
{
    delete asNode(node);
}

XPxmlDoc* XPxmlNode::document() const
{
    const XPxmlNode* top = this;
    while (top->m_parent)
        top = top->m_parent;
    return top->m_isDocumentNode ? static_cast<const XPxmlDocumentNode*>(top)->owner() : nullptr;
}

int XPxmlNode::result() const
{
    return m_writeFailed ? XPxmlError::NoNodeName : 0;
}

bool XPxmlNode::isIgnoredName(const char* name) const
{
    const XPxmlDoc* doc = document();
    return doc && doc->hasIgnorePrefix(name);
}

void XPxmlNode::setName(const char* name)
{
    if (!name)
        name = "";
    if (std::strcmp(m_name.c_str(), name) == 0)
        return;
    if (!isIgnoredName(name))
        m_modified = true;
    m_name.assign(name);
}

int XPxmlNode::setValue(const char* value)
{
    if (!value)
        value = "";
    if (std::strcmp(m_value.c_str(), value) == 0)
        return 0;
    m_modified = true;
    m_value.assign(value);
    return 1;
}

// ---------------------------------------------------------------- navigation

XPxmlNode* XPxmlNode::stepToKind(void* entry, bool forward, const char* kindName)
{
    const uint16_t code = XPxmlKind::codeOf(kindName);
    XPxmlNode* node = asNode(entry);
    while (node && !kindMatches(node, code))
        node = asNode(forward ? m_children.next() : m_children.prev());
    return node;
}

XPxmlNode* XPxmlNode::firstChild(const char* kindName)
{
    return stepToKind(m_children.first(), true, kindName);
}

XPxmlNode* XPxmlNode::nextChild(const char* kindName)
{
    return stepToKind(m_children.next(), true, kindName);
}

XPxmlNode* XPxmlNode::lastChild(const char* kindName)
{
    return stepToKind(m_children.last(), false, kindName);
}

XPxmlNode* XPxmlNode::prevChild(const char* kindName)
{
    return stepToKind(m_children.prev(), false, kindName);
}

XPxmlNode* XPxmlNode::findChild(const char* name, XPxmlNode* after)
{
    XPxmlNode* node;
    if (after) {
        if (!m_children.find(after))
            return nullptr;
        node = asNode(m_children.next());
    } else {
        node = asNode(m_children.first());
    }
    while (node && !xpxmlNameEquals(node->name(), name))
        node = asNode(m_children.next());
    return node;
}

XPxmlNode* XPxmlNode::nextSibling() const
{
    if (!m_parent)
        return nullptr;
    uint32_t hint = m_indexHint.load(std::memory_order_relaxed);
    auto* node = asNode(m_parent->m_children.neighbour(this, +1, hint));
    m_indexHint.store(hint, std::memory_order_relaxed);
    if (node)
        node->m_indexHint.store(hint + 1, std::memory_order_relaxed);
    return node;
}

XPxmlNode* XPxmlNode::prevSibling() const
{
    if (!m_parent)
        return nullptr;
    uint32_t hint = m_indexHint.load(std::memory_order_relaxed);
    auto* node = asNode(m_parent->m_children.neighbour(this, -1, hint));
    m_indexHint.store(hint, std::memory_order_relaxed);
    if (node)
        node->m_indexHint.store(hint - 1, std::memory_order_relaxed);
    return node;
}

XPxmlNode* XPxmlNode::firstElementChild() const
{
    XPxmlNode* node = asNode(m_children.at(0));
    if (node)
        node->m_indexHint.store(0, std::memory_order_relaxed);
    while (node && node->kind() != XPxmlKind::Element)
        node = node->nextSibling();
    return node;
}

XPxmlNode* XPxmlNode::nextElementSibling() const
{
    XPxmlNode* node = nextSibling();
    while (node && node->kind() != XPxmlKind::Element)
        node = node->nextSibling();
    return node;
}

bool XPxmlNode::hasName(const char* name) const
{
    return xpxmlNameEquals(this->name(), name);
}

XPxmlNode* XPxmlNode::prevElementSibling() const
{
    XPxmlNode* node = prevSibling();
    while (node && node->kind() != XPxmlKind::Element)
        node = node->prevSibling();
    return node;
}

// ---------------------------------------------------------------- structure

bool XPxmlNode::wouldLoop(const XPxmlNode* child) const
{
    // A node cannot go inside itself: the tree would become a loop. Only a
    // node with children can be an ancestor, so leaves skip the climb.
    if (child == this)
        return true;
    if (child->childCount() == 0)
        return false;
    for (const XPxmlNode* up = m_parent; up; up = up->m_parent)
        if (up == child)
            return true;
    return false;
}

int XPxmlNode::insertChild(int insertMode, XPxmlNode* child)
{
    if (!child || child->m_isDocumentNode || insertMode < XPxmlList::AtFront ||
        insertMode > XPxmlList::AfterCurrent)
        return 0;
    if (wouldLoop(child))
        return 0;
    if (child->m_parent)
        child->detach();
    // Out of memory: the child stays without a parent, the caller's to keep.
    m_children.insert(insertMode, child);
    child->m_parent = this;
    child->m_indexHint.store(uint32_t(m_children.cursor()), std::memory_order_relaxed);
    return 1;
}

XPxmlNode* XPxmlNode::appendParsedChild(std::unique_ptr<XPxmlNode> child)
{
    return appendNewChild(std::move(child), false);
}

XPxmlNode* XPxmlNode::appendChildUnshared(std::unique_ptr<XPxmlNode> child)
{
    return appendNewChild(std::move(child), !m_isDocumentNode);
}

XPxmlNode* XPxmlNode::appendNewChild(std::unique_ptr<XPxmlNode> child, bool unshared)
{
    child->m_parent = this;
    // Out of memory: child goes with the exception.
    const uint32_t index = unshared ? m_children.appendUnshared(child.get()) : m_children.append(child.get());
    XPxmlNode* added = child.release();
    added->m_indexHint.store(index, std::memory_order_relaxed);
    return added;
}

int XPxmlNode::insertBefore(XPxmlNode* child, XPxmlNode* reference)
{
    if (!child)
        return 0;
    if (!reference || reference == child || reference->m_parent != this)
        return appendChild(child);
    if (wouldLoop(child))
        return 0;
    if (child->m_parent)
        child->detach();
    m_children.find(reference);
    return insertChild(XPxmlList::BeforeCurrent, child);
}

XPxmlNode* XPxmlNode::createChild(int insertMode, const char* name, const char* kindName)
{
    std::unique_ptr<XPxmlNode> node(create(name, kindName));
    if (!node || !insertChild(insertMode, node.get()))
        return nullptr;
    return node.release();
}

XPxmlNode* XPxmlNode::detach()
{
    if (!m_parent)
        return nullptr;
    m_parent->m_children.remove(this, m_indexHint.load(std::memory_order_relaxed));
    m_parent = nullptr;
    return this;
}

bool XPxmlNode::replaceChildren(XPxmlNode* const* children, uint32_t n)
{
    // A parentless node can only be an ancestor when it is the top of this tree.
    const XPxmlNode* top = this;
    while (top->m_parent)
        top = top->m_parent;
    // The index hints, which only speed up searches, mark the nodes met, so
    // that a doubled one shows without a search.
    constexpr uint32_t kMet = UINT32_MAX;
    uint32_t checked = 0;
    for (; checked < n; ++checked) {
        XPxmlNode* child = children[checked];
        if (!child || child->m_isDocumentNode || child == top || (child->m_parent && child->m_parent != this) ||
            child->m_indexHint.load(std::memory_order_relaxed) == kMet)
            break;
        child->m_indexHint.store(kMet, std::memory_order_relaxed);
    }
    auto unmark = [children](uint32_t count) {
        for (uint32_t i = 0; i < count; ++i)
            children[i]->m_indexHint.store(0, std::memory_order_relaxed);
    };
    if (checked < n) {
        unmark(checked);
        return false;
    }
    try {
        m_children.replaceAll(reinterpret_cast<void* const*>(children), n,
                              [](void* old) { static_cast<XPxmlNode*>(old)->m_parent = nullptr; });
    } catch (...) {
        unmark(n);
        throw;
    }
    for (uint32_t i = 0; i < n; ++i) {
        children[i]->m_parent = this;
        children[i]->m_indexHint.store(i, std::memory_order_relaxed);
    }
    return true;
}

void XPxmlNode::removeAllChildren()
{
    m_children.clear(&XPxmlNode::destroy);
}

XPxmlNode* XPxmlNode::clone(bool deep) const
{
    // Every copy has an owner at once, so running out of memory part way
    // leaves nothing behind.
    auto copyOne = [](const XPxmlNode* source) {
        std::unique_ptr<XPxmlNode> copy(new XPxmlNode(source->m_kind));
        copy->m_name.assign(source->m_name.view());
        copy->m_value.assign(source->m_value.view());
        copy->m_attributes.store(source->copyAttributes(), std::memory_order_relaxed);
        return copy;
    };
    std::unique_ptr<XPxmlNode> top = copyOne(this);
    if (!deep)
        return top.release();
    // Copy the subtree without recursion: (source, its copy) pairs still to fill.
    std::vector<std::pair<const XPxmlNode*, XPxmlNode*>> pending{{this, top.get()}};
    while (!pending.empty()) {
        auto [source, copy] = pending.back();
        pending.pop_back();
        for (uint32_t i = 0, n = source->childCount(); i < n; ++i) {
            const XPxmlNode* child = source->childAt(i);
            if (!child)
                break;
            pending.emplace_back(child, copy->appendChildUnshared(copyOne(child)));
        }
    }
    return top.release();
}

std::string XPxmlNode::textContent() const
{
    if (!m_value.empty())
        return std::string(m_value.view());
    std::string out;
    for (uint32_t i = 0, n = childCount(); i < n; ++i)
        if (const XPxmlNode* child = childAt(i))
            XPxmlWriter::write(child, out);
    return out;
}

static_assert(sizeof(XPxmlNode) <= XPxmlSlab::kSlotSize, "nodes live in slab slots");
