#pragma once

#include <string>

// Replaces the numeric character references of an XML text ("&#x2014;",
// "&#233;") by the characters in UTF-8, since the XML library keeps only
// decimal ones, and those cut to one byte. A reference to a character that
// means markup becomes its named entity; one to no character (0, above
// U+10FFFF, a surrogate) is dropped.
void decodeCharacterReferences(std::string& text);
