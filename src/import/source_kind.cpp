#include "import/source_kind.h"

#include "import/midi_reader.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Enough to find the root element behind a long document type.
constexpr size_t kHeadSize = size_t(1) << 16;

bool isMusicXmlRoot(const std::string& name) { return name == "score-partwise" || name == "score-timewise"; }

bool isMusicFileRoot(const char* bytes, size_t size)
{
    if (size >= 2 && std::memcmp(bytes, "KT", 2) == 0)
        return true;
    std::string root = xmlRootName(bytes, size);
    std::transform(root.begin(), root.end(), root.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return root == "zolva" || root == "zolvatemplate";
}

SourceKind kindOfName(const std::string& fileName)
{
    std::string name = fileName;
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    const auto endsWith = [&name](std::string_view end) {
        return name.size() >= end.size() && name.compare(name.size() - end.size(), end.size(), end) == 0;
    };
    if (endsWith(".mid") || endsWith(".midi"))
        return SourceKind::Midi;
    if (endsWith(".musicxml"))
        return SourceKind::MusicXml;
    if (endsWith(".mxl"))
        return SourceKind::CompressedMusicXml;
    return SourceKind::MusicFile;
}

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

SourceKind sourceKindOf(const char* bytes, size_t size, const std::string& fileName)
{
    const SourceKind kind = sourceKindOf(bytes, size);
    return kind != SourceKind::MusicFile || isMusicFileRoot(bytes, size) ? kind : kindOfName(fileName);
}

SourceKind sourceKindOfFile(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb"); // only read
    if (!file)
        return SourceKind::MusicFile;
    std::string head(kHeadSize, '\0');
    head.resize(std::fread(head.data(), 1, head.size(), file));
    std::fclose(file);
    return sourceKindOf(head.data(), head.size(), path);
}
