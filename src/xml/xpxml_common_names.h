#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// The names the program's own files use again and again, kept once for the
// whole process. An attribute whose name is one of them, spelled exactly so,
// points at the shared copy: it costs no bytes of its own, and two such names
// are the same name exactly when they are the same pointer.

// The shared copy of name: spelled exactly so (foldCase false) or alike but
// for case (foldCase true); nullptr when name is not one of them.
const char* xpxmlCommonName(std::string_view name, bool foldCase);
// The shared copies lie one after another in one block of this size.
extern const char* const xpxmlCommonNamesBegin;
extern const size_t xpxmlCommonNamesSize;

// Where a shared copy lies among them (below xpxmlCommonNamesSize), or -1
// for any other text.
inline long xpxmlCommonNameOffset(const char* text)
{
    const auto at = reinterpret_cast<uintptr_t>(text) - reinterpret_cast<uintptr_t>(xpxmlCommonNamesBegin);
    return at < xpxmlCommonNamesSize ? long(at) : -1;
}

// True when text is one of the shared copies.
inline bool xpxmlIsCommonName(const char* text)
{
    return xpxmlCommonNameOffset(text) >= 0;
}
