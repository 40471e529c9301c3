#include "xml/xpxml_name_index.h"

#include "xml/xpxml_kind.h"

#include <chrono>
#include <cstring>
#include <cstdint>
#include <random>
#include <stdexcept>

namespace {

struct HashKey {
    uint64_t k0, k1;
};

HashKey randomKey()
{
    try {
        std::random_device device;
        auto word = [&device] { return (uint64_t(device()) << 32) ^ device(); };
        return {word(), word()};
    } catch (...) {
        // No entropy source: the clock and where things lie still vary from run to run.
        static int anchor;
        const auto now = uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
        return {now * 0x9E3779B97F4A7C15u, reinterpret_cast<uintptr_t>(&anchor) ^ (now >> 17)};
    }
}

const HashKey& hashKey()
{
    static const HashKey key = randomKey();
    return key;
}

inline uint64_t rotl(uint64_t x, int b)
{
    return (x << b) | (x >> (64 - b));
}

inline unsigned char folded(char c)
{
    return static_cast<unsigned char>((c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c);
}

// SipHash-1-3 of the case-folded name.
uint64_t sipHash(std::string_view name, const HashKey& key)
{
    uint64_t v0 = key.k0 ^ 0x736f6d6570736575u;
    uint64_t v1 = key.k1 ^ 0x646f72616e646f6du;
    uint64_t v2 = key.k0 ^ 0x6c7967656e657261u;
    uint64_t v3 = key.k1 ^ 0x7465646279746573u;
    auto round = [&] {
        v0 += v1;
        v1 = rotl(v1, 13) ^ v0;
        v0 = rotl(v0, 32);
        v2 += v3;
        v3 = rotl(v3, 16) ^ v2;
        v0 += v3;
        v3 = rotl(v3, 21) ^ v0;
        v2 += v1;
        v1 = rotl(v1, 17) ^ v2;
        v2 = rotl(v2, 32);
    };
    const size_t whole = name.size() & ~size_t(7);
    for (size_t i = 0; i < whole; i += 8) {
        uint64_t m = 0;
        for (int b = 0; b < 8; ++b)
            m |= uint64_t(folded(name[i + b])) << (8 * b);
        v3 ^= m;
        round();
        v0 ^= m;
    }
    uint64_t last = uint64_t(name.size()) << 56;
    for (size_t i = whole; i < name.size(); ++i)
        last |= uint64_t(folded(name[i])) << (8 * (i - whole));
    v3 ^= last;
    round();
    v0 ^= last;
    v2 ^= 0xff;
    round();
    round();
    round();
    return v0 ^ v1 ^ v2 ^ v3;
}

} // namespace

size_t XPxmlNameIndex::slotOf(std::string_view name, uint64_t hash) const
{
    const auto tag = uint32_t(hash >> 32);
    const size_t mask = m_slots.size() - 1;
    for (size_t i = size_t(hash) & mask;; i = (i + 1) & mask) {
        const Slot& slot = m_slots[i];
        if (slot.entry == 0 ||
            (slot.tag == tag && slot.length == name.size() && xpxmlNameEquals(nameIn(slot), name)))
            return i;
    }
}

std::string_view XPxmlNameIndex::valueIn(const Slot& slot) const
{
    uint32_t length;
    std::memcpy(&length, m_text.data() + slot.begin - sizeof length, sizeof length);
    return std::string_view(m_text).substr(slot.begin + slot.length, length);
}

void XPxmlNameIndex::grow()
{
    std::vector<Slot> slots(m_slots.empty() ? 16 : m_slots.size() * 2);
    const size_t mask = slots.size() - 1;
    for (const Slot& old : m_slots) {
        if (old.entry == 0)
            continue;
        size_t i = size_t(sipHash(nameIn(old), hashKey())) & mask;
        while (slots[i].entry != 0)
            i = (i + 1) & mask;
        slots[i] = old;
    }
    m_slots.swap(slots);
}

uint32_t XPxmlNameIndex::find(std::string_view name, std::string_view* value) const
{
    if (size() == 0)
        return kAbsent;
    const Slot& slot = m_slots[slotOf(name, sipHash(name, hashKey()))];
    if (slot.entry == 0)
        return kAbsent;
    if (value)
        *value = valueIn(slot);
    return slot.entry - 1;
}

uint32_t XPxmlNameIndex::add(std::string_view name, std::string_view value)
{
    // At most three quarters full, so that a search meets a free slot soon.
    if ((size() + 1) * 4 > m_slots.size() * 3)
        grow();
    const uint64_t hash = sipHash(name, hashKey());
    Slot& slot = m_slots[slotOf(name, hash)];
    if (slot.entry != 0)
        return slot.entry - 1;
    const auto valueLength = uint32_t(value.size());
    if (m_text.size() + sizeof valueLength + name.size() + value.size() > UINT32_MAX || value.size() > UINT32_MAX)
        throw std::length_error("XPxmlNameIndex holds at most 4 GB of text");
    m_text.append(reinterpret_cast<const char*>(&valueLength), sizeof valueLength);
    const auto begin = uint32_t(m_text.size());
    m_text.append(name);
    m_text.append(value);
    slot = {uint32_t(hash >> 32), ++m_count, begin, uint32_t(name.size())};
    return m_count - 1;
}
