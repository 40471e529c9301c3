#include "xml/xpxml_text.h"

#include <cstdlib>
#include <new>

void XPxmlText::release() noexcept
{
    if (isHeap())
        std::free(m_heap.data);
}

namespace {

// Copies up to 16 bytes with two fixed-size moves that may overlap: short
// names and values are copied millions of times while a file loads.
inline void copyShort(char* to, const char* from, size_t n)
{
    if (n >= 8) {
        uint64_t head, tail;
        std::memcpy(&head, from, 8);
        std::memcpy(&tail, from + n - 8, 8);
        std::memcpy(to, &head, 8);
        std::memcpy(to + n - 8, &tail, 8);
    } else if (n >= 4) {
        uint32_t head, tail;
        std::memcpy(&head, from, 4);
        std::memcpy(&tail, from + n - 4, 4);
        std::memcpy(to, &head, 4);
        std::memcpy(to + n - 4, &tail, 4);
    } else {
        for (size_t i = 0; i < n; ++i)
            to[i] = from[i];
    }
}

} // namespace

void XPxmlText::assign(std::string_view text)
{
    if (text.size() <= kInlineMax) {
        // Read before writing: text may point into this object.
        char copy[kInlineMax + 1];
        copyShort(copy, text.data(), text.size());
        release();
        copyShort(m_inline, copy, text.size());
        m_inline[text.size()] = '\0';
        setInlineLength(text.size());
        return;
    }
    char* data = static_cast<char*>(std::malloc(text.size() + 1));
    if (!data)
        throw std::bad_alloc();
    std::memcpy(data, text.data(), text.size());
    data[text.size()] = '\0';
    release();
    m_heap.data = data;
    m_heap.length = uint32_t(text.size());
    m_heap.mark = kHeapMark;
}
