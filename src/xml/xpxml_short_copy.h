#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// The first and the last sizeof(Word) bytes of n (sizeof(Word) <= n <=
// 2 * sizeof(Word)), which between them cover all n.
template <class Word>
inline void xpxmlCopyEnds(char* to, const char* from, size_t n)
{
    Word head, tail;
    std::memcpy(&head, from, sizeof head);
    std::memcpy(&tail, from + n - sizeof tail, sizeof tail);
    std::memcpy(to, &head, sizeof head);
    std::memcpy(to + n - sizeof tail, &tail, sizeof tail);
}

// Copies n bytes, n small, without a call: up to 16 bytes take two fixed-size
// moves that may overlap. Short names and values are copied millions of
// times while a file loads.
inline void xpxmlCopyShort(char* to, const char* from, size_t n)
{
    if (n > 16)
        std::memcpy(to, from, n);
    else if (n >= 8)
        xpxmlCopyEnds<uint64_t>(to, from, n);
    else if (n >= 4)
        xpxmlCopyEnds<uint32_t>(to, from, n);
    else
        for (size_t i = 0; i < n; ++i)
            to[i] = from[i];
}
