// XPxmlNode's attributes: kept as names and values in the node's attribute
// store until someone asks for attribute nodes, then as those nodes.

#include "xml/xpxml_attribute_store.h"
#include "xml/xpxml_common_names.h"
#include "xml/xpxml_name_set.h"
#include "xml/xpxml_node.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

using Guard = std::lock_guard<XPxmlSpinLock>;
using Lock = std::unique_lock<XPxmlSpinLock>;

XPxmlNode* asNode(void* entry)
{
    return static_cast<XPxmlNode*>(entry);
}

bool nameMatches(void* entry, void* name)
{
    return xpxmlNameEquals(asNode(entry)->name(), static_cast<const char*>(name));
}

// The index of name among the pairs of a store whose lock is held.
uint32_t indexIn(const XPxmlAttributeStore& store, const char* name)
{
    return store.indexOf(name, xpxmlCommonName(name, true));
}

// Calls visit(name, value, node) on each attribute of store in order, under
// the lock of whichever form holds them, until it returns true.
template <class Visit>
void eachAttribute(XPxmlAttributeStore* store, Visit visit)
{
    if (!store)
        return;
    {
        Guard guard(store->lock());
        if (!store->hasNodes()) {
            for (uint32_t i = 0, n = store->count(); i < n; ++i)
                if (visit(store->nameAt(i), store->valueAt(i), nullptr))
                    return;
            return;
        }
    }
    store->nodes().scan(
        [](void* entry, void* context) {
            const XPxmlNode* node = asNode(entry);
            return (*static_cast<Visit*>(context))(node->name(), node->value(), node);
        },
        &visit);
}

struct CopyRequest {
    const char* name;
    std::string* out;
};

bool copyIfNamed(void* entry, void* context)
{
    auto* request = static_cast<CopyRequest*>(context);
    if (!xpxmlNameEquals(asNode(entry)->name(), request->name))
        return false;
    request->out->assign(asNode(entry)->value());
    return true;
}

struct SetRequest {
    const char* name;
    const char* value;
    bool found = false;
    bool changed = false;
};

// Runs under the attribute list's lock so that a reader copying the value on
// another thread never sees it half replaced.
bool setIfNamed(void* entry, void* context)
{
    auto* request = static_cast<SetRequest*>(context);
    if (!xpxmlNameEquals(asNode(entry)->name(), request->name))
        return false;
    request->found = true;
    request->changed = asNode(entry)->setValue(request->value) != 0;
    return true;
}

} // namespace

XPxmlAttributeStore& XPxmlNode::ensureAttributeStore() const
{
    if (XPxmlAttributeStore* store = attributeStore())
        return *store;
    XPxmlAttributeStore* fresh = XPxmlAttributeStore::make(nullptr, 0);
    XPxmlAttributeStore* expected = nullptr;
    if (m_attributes.compare_exchange_strong(expected, fresh, std::memory_order_acq_rel))
        return *fresh;
    XPxmlAttributeStore::destroy(fresh); // another thread made one first
    return *expected;
}

void XPxmlNode::destroyAttributes() noexcept
{
    XPxmlAttributeStore* store = m_attributes.exchange(nullptr, std::memory_order_acq_rel);
    if (!store)
        return;
    store->nodes().clear(&XPxmlNode::destroy);
    XPxmlAttributeStore::destroy(store);
}

XPxmlList& XPxmlNode::attributeNodes() const
{
    XPxmlAttributeStore& store = ensureAttributeStore();
    Guard guard(store.lock());
    if (store.hasNodes())
        return store.nodes();
    try {
        for (uint32_t i = 0; i < store.count(); ++i) {
            std::unique_ptr<XPxmlNode> attribute(new XPxmlNode(XPxmlKind::Attribute));
            attribute->m_name.assign(store.nameAt(i));
            attribute->m_value.assign(store.valueAt(i));
            attribute->m_parent = const_cast<XPxmlNode*>(this);
            store.nodes().insert(XPxmlList::AtEnd, attribute.get());
            attribute.release();
        }
    } catch (...) {
        store.nodes().clear(&XPxmlNode::destroy); // the pairs still hold the attributes
        throw;
    }
    store.setNodes();
    return store.nodes();
}

XPxmlNode* XPxmlNode::findAttributeNode(const char* name) const
{
    XPxmlAttributeStore* store = attributeStore();
    return store ? asNode(store->nodes().scan(&nameMatches, const_cast<char*>(name))) : nullptr;
}

XPxmlNode* XPxmlNode::findAttribute(const char* name) const
{
    if (!name)
        return nullptr;
    attributeNodes();
    return findAttributeNode(name);
}

void XPxmlNode::visitAttributes(AttributeVisitor visit, void* context) const
{
    eachAttribute(attributeStore(), [visit, context](const char* name, const char* value, const XPxmlNode* node) {
        return visit(name, value, node, context);
    });
}

void XPxmlNode::readAttributes(const XPxmlNameSet& names, const char** values) const
{
    for (size_t i = 0; i < names.size(); ++i)
        values[i] = nullptr;
    eachAttribute(attributeStore(), [&names, values](const char* name, const char* value, const XPxmlNode*) {
        const uint32_t at = names.indexOf(name);
        if (at != XPxmlNameSet::kAbsent && !values[at])
            values[at] = value;
        return false;
    });
}

const char* XPxmlNode::getAttribute(const char* name) const
{
    XPxmlAttributeStore* store = attributeStore();
    if (!store || !name)
        return nullptr;
    {
        Guard guard(store->lock());
        if (!store->hasNodes()) {
            const uint32_t at = indexIn(*store, name);
            return at == XPxmlAttributeStore::kAbsent ? nullptr : store->valueAt(at);
        }
    }
    const XPxmlNode* attribute = findAttributeNode(name);
    return attribute ? attribute->value() : nullptr;
}

bool XPxmlNode::getAttributeCopy(const char* name, std::string& out) const
{
    XPxmlAttributeStore* store = attributeStore();
    if (!store || !name)
        return false;
    std::string value;
    {
        Guard guard(store->lock());
        if (!store->hasNodes()) {
            const uint32_t at = indexIn(*store, name);
            if (at == XPxmlAttributeStore::kAbsent)
                return false;
            value = store->valueAt(at);
            out = std::move(value);
            return true;
        }
    }
    CopyRequest request{name, &value};
    if (!store->nodes().scan(&copyIfNamed, &request))
        return false;
    out = std::move(value);
    return true;
}

int XPxmlNode::getAttributeCopy(const char* name, char* buffer, size_t size) const
{
    std::string value;
    const bool found = getAttributeCopy(name, value);
    if (buffer && size) {
        const size_t n = value.size() < size - 1 ? value.size() : size - 1;
        std::memcpy(buffer, value.data(), n);
        buffer[n] = '\0';
    }
    return found ? 1 : 0;
}

int XPxmlNode::getAttributeNumber(const char* name, long* out) const
{
    std::string value;
    if (!getAttributeCopy(name, value))
        return 0;
    if (out)
        *out = xpxmlLeadingInteger(value.c_str());
    return 1;
}

void XPxmlNode::setAttribute(const char* name, const char* value)
{
    if (name)
        setAttributeNamed(name, xpxmlCommonName(name, true), value ? value : "");
}

void XPxmlNode::setAttribute(const XPxmlNameSet& names, uint32_t which, std::string_view value)
{
    if (const char* name = names.nameAt(which))
        setAttributeNamed(name, names.commonAt(which), value);
}

void XPxmlNode::setAttributeNamed(const char* name, const char* common, std::string_view value)
{
    XPxmlAttributeStore& store = ensureAttributeStore();
    Lock lock(store.lock());
    if (!store.hasNodes()) {
        const uint32_t at = store.indexOf(name, common);
        if (at == XPxmlAttributeStore::kAbsent)
            store.append(name, value, common);
        else if (!store.setValue(at, value))
            return;
    } else {
        lock.unlock();
        const std::string text(value); // a node's value is zero-terminated
        SetRequest request{name, text.c_str()};
        store.nodes().scan(&setIfNamed, &request);
        if (request.found && !request.changed)
            return;
        if (!request.found) {
            std::unique_ptr<XPxmlNode> attribute(new XPxmlNode(XPxmlKind::Attribute));
            attribute->m_name.assign(name);
            attribute->m_value.assign(value);
            attribute->m_parent = this;
            store.nodes().insert(XPxmlList::AtEnd, attribute.get());
            attribute.release();
        }
    }
    // A node flagged already stays so: no need to find its document.
    if (!m_modified && !isIgnoredName(name))
        m_modified = true;
}

void XPxmlNode::removeAttribute(const char* name)
{
    XPxmlAttributeStore* store = attributeStore();
    if (!store || !name)
        return;
    Lock lock(store->lock());
    if (!store->hasNodes()) {
        const uint32_t at = indexIn(*store, name);
        if (at == XPxmlAttributeStore::kAbsent)
            return;
        store->removeAt(at);
    } else {
        lock.unlock();
        XPxmlNode* attribute = findAttributeNode(name);
        if (!attribute)
            return;
        store->nodes().remove(attribute);
        delete attribute;
    }
    if (!isIgnoredName(name))
        m_modified = true;
}

void XPxmlNode::removeAllAttributes()
{
    XPxmlAttributeStore* store = attributeStore();
    if (!store)
        return;
    {
        Guard guard(store->lock());
        if (!store->hasNodes()) {
            store->clear();
            return;
        }
    }
    store->nodes().clear(&XPxmlNode::destroy);
}

XPxmlAttributeStore* XPxmlNode::copyAttributes() const
{
    std::vector<std::string> texts; // name, value, name, value …
    visitAttributes(
        [](const char* name, const char* value, const XPxmlNode*, void* to) {
            auto* texts = static_cast<std::vector<std::string>*>(to);
            texts->emplace_back(name);
            texts->emplace_back(value);
            return false;
        },
        &texts);
    if (texts.empty())
        return nullptr;
    std::vector<XPxmlAttributeStore::Pair> pairs;
    for (size_t i = 0; i < texts.size(); i += 2)
        pairs.push_back({texts[i], texts[i + 1]});
    return XPxmlAttributeStore::make(pairs.data(), uint32_t(pairs.size()));
}
