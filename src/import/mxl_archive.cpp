#include "import/mxl_archive.h"

#include "xml/xpxml_doc.h"
#include "xml/xpxml_node.h"

#include <zip.h>

#include <memory>
#include <string_view>

namespace {

constexpr char kContainer[] = "META-INF/container.xml";
constexpr size_t kReadBlock = size_t(1) << 16;

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

struct EntryCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using Entry = std::unique_ptr<zip_file_t, EntryCloser>;

Archive openArchive(const char* bytes, size_t size)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes, size, 0, &error);
    zip_error_fini(&error);
    if (!source)
        return nullptr;
    zip_t* archive = zip_open_from_source(source, ZIP_RDONLY, nullptr);
    if (!archive)
        zip_source_free(source);
    return Archive(archive);
}

// Reads to the end, so that a damaged entry shows in its last read; the size
// an entry states is not trusted.
bool readEntry(zip_t* archive, zip_int64_t index, size_t maxSize, std::string& text)
{
    Entry file(zip_fopen_index(archive, zip_uint64_t(index), 0));
    if (!file)
        return false;
    text.clear();
    for (;;) {
        const size_t used = text.size();
        if (used > maxSize)
            return false;
        text.resize(used + kReadBlock);
        const zip_int64_t got = zip_fread(file.get(), text.data() + used, kReadBlock);
        if (got < 0)
            return false;
        text.resize(used + size_t(got));
        if (got == 0)
            break;
    }
    return zip_fclose(file.release()) == 0;
}

std::string rootFileOf(const std::string& container)
{
    XPxmlDoc tree;
    if (tree.loadText(container.c_str(), container.size()) != 0)
        return {};
    XPxmlNode* rootFile = tree.findElement("rootfile");
    return rootFile && rootFile->getAttribute("full-path") ? rootFile->getAttribute("full-path") : "";
}

bool endsWith(std::string_view name, std::string_view end)
{
    return name.size() >= end.size() && name.compare(name.size() - end.size(), end.size(), end) == 0;
}

zip_int64_t firstScoreEntry(zip_t* archive)
{
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* name = zip_get_name(archive, zip_uint64_t(i), 0);
        if (!name || std::string_view(name).rfind("META-INF/", 0) == 0)
            continue;
        if (endsWith(name, ".xml") || endsWith(name, ".musicxml"))
            return i;
    }
    return -1;
}

} // namespace

bool unpackMxl(const char* bytes, size_t size, size_t maxSize, std::string& score, std::string& problem)
{
    Archive archive = openArchive(bytes, size);
    if (!archive || zip_get_num_entries(archive.get(), 0) <= 0) {
        problem = "the compressed MusicXML file is damaged";
        return false;
    }
    zip_int64_t index = -1;
    std::string container;
    const zip_int64_t containerIndex = zip_name_locate(archive.get(), kContainer, 0);
    if (containerIndex >= 0 && readEntry(archive.get(), containerIndex, maxSize, container)) {
        const std::string path = rootFileOf(container);
        if (!path.empty())
            index = zip_name_locate(archive.get(), path.c_str(), 0);
    }
    if (index < 0)
        index = firstScoreEntry(archive.get());
    if (index < 0) {
        problem = "the compressed file holds no MusicXML score";
        return false;
    }
    if (!readEntry(archive.get(), index, maxSize, score)) {
        problem = "the MusicXML score in the compressed file does not unpack";
        return false;
    }
    return true;
}
