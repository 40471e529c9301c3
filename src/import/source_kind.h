#pragma once

#include <cstddef>
#include <string>

// What a file holds, judged by its first bytes, never by its name.
enum class SourceKind {
    MusicFile,          // anything else: the program's own music file, plain or packed
    Midi,               // "MThd"
    MusicXml,           // an XML root "score-partwise" or "score-timewise"
    CompressedMusicXml, // a ZIP archive ("PK"), which a music file never is
};

SourceKind sourceKindOf(const char* bytes, size_t size);

// The name of the first element of an XML text, after any declaration,
// comments, processing instructions and document type; "" when there is none
// within the bytes given.
std::string xmlRootName(const char* text, size_t size);
