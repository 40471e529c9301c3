#include "doc/tine_numbers.h"

#include "doc/music_vocabulary.h"
#include "doc/number_text.h"
#include "xml/xpxml_node.h"

#include <cstddef>
#include <string>

TineNumbers readTineNumbers(const char* text, int tineCount)
{
    TineNumbers read;
    // Every entry first: an entry out of range must not crowd out a valid one.
    std::array<int32_t, TineNumbers::kMaxTines> entries{};
    const int written = ParseNumberList(text, entries.data(), TineNumbers::kMaxTines);
    read.takesTime = written > 0 && tineCount > 0;
    for (int i = 0; i < written; ++i)
        if (entries[size_t(i)] >= 1 && entries[size_t(i)] <= tineCount)
            read.tines[size_t(read.count++)] = entries[size_t(i)];
    return read;
}

TineNumbers readNoteTines(const XPxmlNode* element, int tineCount)
{
    std::string text;
    if (!element || !element->getAttributeCopy(MusicAttr::Tines, text))
        return {};
    return readTineNumbers(text.c_str(), tineCount);
}
