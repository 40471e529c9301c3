#include "xml/xpxml_attribute_store.h"

#include "xml/xpxml_common_names.h"
#include "xml/xpxml_kind.h"
#include "xml/xpxml_short_copy.h"
#include "xml/xpxml_slab.h"

#include <cstring>
#include <iterator>
#include <new>
#include <vector>

namespace {
// Room a parsed element keeps for the working position a layout adds to
// every element, so that adding it allocates nothing.
constexpr uint32_t kSpareRoom = 16;
// An element the program builds starts without attributes and gets them one
// by one (a new bar takes a type, a timing and its position): room for a few
// pairs and their texts, so that none of them allocates again.
constexpr uint32_t kFreshPairs = 4;
constexpr uint32_t kFreshRoom = 48;

size_t align8(size_t n)
{
    return (n + 7) & ~size_t(7);
}
} // namespace

XPxmlAttributeStore::XPxmlAttributeStore(uint32_t capacity, uint32_t room)
    : m_inlineCapacity(capacity), m_capacity(capacity), m_room(room), m_pairs(inlinePairs())
{
}

XPxmlAttributeStore::Texts* XPxmlAttributeStore::inlinePairs() const
{
    auto* self = const_cast<char*>(reinterpret_cast<const char*>(this));
    return reinterpret_cast<Texts*>(self + align8(sizeof(XPxmlAttributeStore)));
}

char* XPxmlAttributeStore::bytes() const
{
    return reinterpret_cast<char*>(inlinePairs() + m_inlineCapacity);
}

size_t XPxmlAttributeStore::sizeFor(uint32_t capacity, size_t room)
{
    return align8(sizeof(XPxmlAttributeStore)) + capacity * sizeof(Texts) + room;
}

template <class NameAt, class ValueAt>
XPxmlAttributeStore* XPxmlAttributeStore::makeFrom(uint32_t count, NameAt nameAt, ValueAt valueAt,
                                                   const char* const* common, XPxmlSlab::Carver* carver)
{
    size_t room = count ? kSpareRoom : kFreshRoom;
    for (uint32_t i = 0; i < count; ++i) {
        if (!common[i])
            room += nameAt(i).size() + 1;
        room += valueAt(i).size() + 1;
    }
    if (room > UINT32_MAX / 2)
        throw std::bad_alloc();
    const uint32_t capacity = count ? count + 1 : kFreshPairs;
    const size_t size = sizeFor(capacity, room);
    void* memory = carver ? carver->allocate(size) : XPxmlSlab::allocate(size);
    auto* store = new (memory) XPxmlAttributeStore(capacity, uint32_t(room));
    for (uint32_t i = 0; i < count; ++i)
        store->m_pairs[i] = {common[i] ? common[i] : store->keep(nameAt(i)), store->keep(valueAt(i))};
    store->m_count = count;
    return store;
}

XPxmlAttributeStore* XPxmlAttributeStore::make(const Pair* pairs, uint32_t count)
{
    // The shared copy of each name, looked up once.
    std::vector<const char*> manyCommon;
    const char* fewCommon[16] = {};
    const char** common = fewCommon;
    if (count > std::size(fewCommon)) {
        manyCommon.resize(count);
        common = manyCommon.data();
    }
    for (uint32_t i = 0; i < count; ++i)
        common[i] = xpxmlCommonName(pairs[i].name, false);
    return makeFrom(
        count, [pairs](uint32_t i) { return pairs[i].name; }, [pairs](uint32_t i) { return pairs[i].value; }, common,
        nullptr);
}

XPxmlAttributeStore* XPxmlAttributeStore::make(const std::string_view* names, const std::string_view* values,
                                               uint32_t count, const char* const* common, XPxmlSlab::Carver* carver)
{
    return makeFrom(
        count, [names](uint32_t i) { return names[i]; }, [values](uint32_t i) { return values[i]; }, common,
        carver);
}

void XPxmlAttributeStore::destroy(XPxmlAttributeStore* store) noexcept
{
    if (!store)
        return;
    store->clear();
    const size_t size = sizeFor(store->m_inlineCapacity, store->m_room);
    store->~XPxmlAttributeStore();
    XPxmlSlab::release(store, size);
}

void XPxmlAttributeStore::setNodes()
{
    // The texts stay until the store goes: values handed out before stay
    // valid, as nothing about their attributes has changed.
    m_hasNodes = true;
}

uint32_t XPxmlAttributeStore::indexOf(const char* name, const char* common) const
{
    for (uint32_t i = 0; i < m_count; ++i) {
        const char* own = m_pairs[i].name;
        if (xpxmlIsCommonName(own)) {
            if (own == common)
                return i;
        } else if (xpxmlNameEquals(own, name)) {
            return i;
        }
    }
    return kAbsent;
}

bool XPxmlAttributeStore::setValue(uint32_t index, std::string_view value)
{
    const char* old = m_pairs[index].value;
    const size_t oldSize = std::strlen(old);
    if (oldSize == value.size() && std::memcmp(old, value.data(), oldSize) == 0)
        return false;
    m_pairs[index].value = keep(value);
    release(old);
    return true;
}

void XPxmlAttributeStore::append(std::string_view name, std::string_view value, const char* common)
{
    if (m_count == m_capacity) {
        const uint32_t grown = m_capacity < 4 ? 4 : m_capacity + m_capacity / 2;
        auto* fresh = static_cast<Texts*>(::operator new(size_t(grown) * sizeof(Texts)));
        std::memcpy(fresh, m_pairs, m_count * sizeof(Texts));
        if (m_pairs != inlinePairs())
            ::operator delete(m_pairs);
        m_pairs = fresh;
        m_capacity = grown;
    }
    const bool shared = common && ((name.data() == common && common[name.size()] == '\0') || name == common);
    const char* keptName = shared ? common : keep(name);
    try {
        m_pairs[m_count] = {keptName, keep(value)};
    } catch (...) {
        release(keptName);
        throw;
    }
    ++m_count;
}

void XPxmlAttributeStore::removeAt(uint32_t index) noexcept
{
    release(m_pairs[index].name);
    release(m_pairs[index].value);
    std::memmove(m_pairs + index, m_pairs + index + 1, (m_count - index - 1) * sizeof(Texts));
    --m_count;
}

void XPxmlAttributeStore::clear() noexcept
{
    for (uint32_t i = 0; i < m_count; ++i) {
        release(m_pairs[i].name);
        release(m_pairs[i].value);
    }
    m_count = 0;
    if (m_pairs != inlinePairs()) {
        ::operator delete(m_pairs);
        m_pairs = inlinePairs();
        m_capacity = m_inlineCapacity;
    }
}

const char* XPxmlAttributeStore::keep(std::string_view text)
{
    char* copy;
    if (text.size() < m_room - m_used) {
        copy = bytes() + m_used;
        m_used += uint32_t(text.size() + 1);
    } else {
        copy = static_cast<char*>(::operator new(text.size() + 1));
    }
    xpxmlCopyShort(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}

bool XPxmlAttributeStore::owns(const char* text) const
{
    const auto at = reinterpret_cast<uintptr_t>(text);
    const auto begin = reinterpret_cast<uintptr_t>(bytes());
    return !(at >= begin && at < begin + m_room) && !xpxmlIsCommonName(text);
}

void XPxmlAttributeStore::release(const char* text) noexcept
{
    if (owns(text))
        ::operator delete(const_cast<char*>(text));
}
