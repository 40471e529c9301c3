#include "xml/xpxml_text.h"

#include <new>

void XPxmlText::release() noexcept
{
    if (isHeap())
        ::operator delete(m_heap.data);
}

void XPxmlText::assignSlow(std::string_view text)
{
    if (text.size() <= kInlineMax) {
        // Read before writing: text may point into this object.
        char copy[kInlineMax + 1];
        xpxmlCopyShort(copy, text.data(), text.size());
        release();
        xpxmlCopyShort(m_inline, copy, text.size());
        m_inline[text.size()] = '\0';
        setInlineLength(text.size());
        return;
    }
    char* data = static_cast<char*>(::operator new(text.size() + 1));
    std::memcpy(data, text.data(), text.size());
    data[text.size()] = '\0';
    release();
    m_heap.data = data;
    m_heap.length = uint32_t(text.size());
    m_heap.mark = kHeapMark;
}
