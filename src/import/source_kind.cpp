#include "import/source_kind.h"

#include "import/midi_reader.h"

#include <cstring>
#include <string_view>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool isMusicXmlRoot(const std::string& name) { return name == "score-partwise" || name == "score-timewise"; }

// Where the markup that begins at text[at] ends (just past it), or npos.
size_t skipMarkup(std::string_view text, size_t at)
{
    if (text.compare(at, 4, "<!--") == 0) {
        const size_t end = text.find("-->", at + 4);
        return end == std::string_view::npos ? end : end + 3;
    }
    if (text.compare(at, 2, "<?") == 0) {
        const size_t end = text.find("?>", at + 2);
        return end == std::string_view::npos ? end : end + 2;
    }
    // A document type, with an internal subset in brackets perhaps.
    int depth = 0;
    for (size_t i = at + 2; i < text.size(); ++i) {
        if (text[i] == '[')
            ++depth;
        else if (text[i] == ']')
            --depth;
        else if (text[i] == '>' && depth <= 0)
            return i + 1;
    }
    return std::string_view::npos;
}

} // namespace

std::string xmlRootName(const char* bytes, size_t size)
{
    std::string_view text(bytes, size);
    size_t at = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (at < text.size()) {
        if (isBlank(text[at])) {
            ++at;
            continue;
        }
        if (text[at] != '<' || at + 1 >= text.size())
            return {};
        if (text[at + 1] == '?' || text[at + 1] == '!') {
            at = skipMarkup(text, at);
            continue;
        }
        size_t end = at + 1;
        while (end < text.size() && !isBlank(text[end]) && text[end] != '>' && text[end] != '/')
            ++end;
        return std::string(text.substr(at + 1, end - at - 1));
    }
    return {};
}

SourceKind sourceKindOf(const char* bytes, size_t size)
{
    if (looksLikeMidi(bytes, size))
        return SourceKind::Midi;
    if (size >= 2 && std::memcmp(bytes, "PK", 2) == 0)
        return SourceKind::CompressedMusicXml;
    return isMusicXmlRoot(xmlRootName(bytes, size)) ? SourceKind::MusicXml : SourceKind::MusicFile;
}
