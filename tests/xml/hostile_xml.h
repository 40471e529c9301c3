#pragma once

// XML shaped to make a parser slow, each grown to about a given size: the
// timing test, the benchmark and the fuzz seeds use the same shapes.

#include <cstddef>
#include <cstdint>
#include <string>

namespace hostile {

// One text whose blanks come before anything else: control bytes, spaces and
// bytes from 0x80 up all count as blanks.
inline std::string blanksBeforeText(size_t bytes)
{
    static constexpr char kBlanks[] = " \t\r\n\x85\xA0\xFF ";
    std::string text = "<r>";
    while (text.size() < bytes)
        text += kBlanks;
    return text + "x</r>";
}

// Words of scripts outside ASCII, whose bytes read as blanks as well.
inline std::string utf8Text(size_t bytes)
{
    std::string text = "<r>";
    while (text.size() < bytes)
        text += "\xD0\xBA\xD0\xB0\xD0\xBB\xD0\xB8\xD0\xBC\xD0\xB1\xD0\xB0 "
                "\xCE\xBC\xCE\xB5\xCE\xBB\xCF\x89\xCE\xB4\xCE\xAF\xCE\xB1 ";
    return text + ".</r>";
}

// Comments ahead of a document type that declares a great many entities,
// then references to them in no order.
inline std::string entityReferences(size_t bytes)
{
    std::string text;
    while (text.size() < bytes / 8)
        text += "<!-- comment -->\n";
    text += "<!DOCTYPE r [\n";
    size_t declared = 0;
    while (text.size() < bytes / 2)
        text += "<!ENTITY e" + std::to_string(declared++) + " \"v\">\n";
    text += "]>\n<r>";
    uint32_t seed = 20261207;
    while (text.size() < bytes) {
        seed = seed * 1664525u + 1013904223u;
        text += "&e" + std::to_string(seed % declared) + ";";
    }
    return text + "</r>";
}

// One element with a great many attributes, each name given twice, the second
// time in capitals and with the value "2" that it keeps.
inline std::string manyAttributes(size_t bytes)
{
    std::string text = "<r";
    for (size_t i = 0; text.size() < bytes; ++i)
        text += " a" + std::to_string(i) + "=\"1\" A" + std::to_string(i) + "='2'";
    return text + "/>";
}

} // namespace hostile
