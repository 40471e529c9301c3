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
// The same, and where the bytes are no music file of the program either, the
// kind the file's name promises (".mid", ".midi", ".musicxml", ".mxl"), so
// that its reader says what is wrong with it.
SourceKind sourceKindOf(const char* bytes, size_t size, const std::string& fileName);
// The kind of the file at path by its first bytes and its name; a file that
// cannot be read counts as a music file, whose loader then says why.
SourceKind sourceKindOfFile(const std::string& path);

// The name of the first element of an XML text, after any declaration,
// comments, processing instructions and document type; "" when there is none
// within the bytes given.
std::string xmlRootName(const char* text, size_t size);
