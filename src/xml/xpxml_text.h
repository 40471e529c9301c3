#pragma once

#include "xml/xpxml_short_copy.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// Owned, zero-terminated 8-bit text. Texts of up to 15 bytes (most names and
// values of a music file) live inside the object, so a node costs no extra
// allocation for them.
class XPxmlText {
public:
    XPxmlText() noexcept { setInlineLength(0); m_inline[0] = '\0'; }
    explicit XPxmlText(std::string_view text) : XPxmlText() { assign(text); }
    ~XPxmlText() { release(); }
    XPxmlText(const XPxmlText&) = delete;
    XPxmlText& operator=(const XPxmlText&) = delete;

    const char* c_str() const noexcept { return isHeap() ? m_heap.data : m_inline; }
    size_t size() const noexcept { return isHeap() ? m_heap.length : kInlineMax - uint8_t(m_inline[kInlineMax]); }
    bool empty() const noexcept { return size() == 0; }
    std::string_view view() const noexcept { return {c_str(), size()}; }

    void assign(std::string_view text)
    {
        // The common case inline: a short text into inline storage that it
        // does not overlap.
        const auto from = reinterpret_cast<uintptr_t>(text.data());
        const auto self = reinterpret_cast<uintptr_t>(m_inline);
        if (text.size() <= kInlineMax && !isHeap() && (from >= self + sizeof m_inline || from + text.size() <= self)) {
            xpxmlCopyShort(m_inline, text.data(), text.size());
            m_inline[text.size()] = '\0';
            setInlineLength(text.size());
            return;
        }
        assignSlow(text);
    }

private:
    static constexpr size_t kInlineMax = 15;
    static constexpr uint8_t kHeapMark = 0xFF;

    bool isHeap() const noexcept { return uint8_t(m_inline[kInlineMax]) == kHeapMark; }
    // The last byte holds 15 - length, which is also the terminator of a full inline text.
    void setInlineLength(size_t length) noexcept { m_inline[kInlineMax] = char(kInlineMax - length); }
    void release() noexcept;
    void assignSlow(std::string_view text);

    struct Heap {
        char* data;
        uint32_t length;
        uint8_t spare[3];
        uint8_t mark;
    };
    union {
        char m_inline[kInlineMax + 1];
        Heap m_heap;
    };
};
static_assert(sizeof(XPxmlText) == 16);
