#include "import/mxl_archive.h"

#include "doc/zip_member.h"
#include "xml/xpxml_doc.h"
#include "xml/xpxml_node.h"

#include <memory>
#include <string_view>
#include <utility>

namespace {

constexpr char kContainer[] = "META-INF/container.xml";

ZipArchive openArchive(const char* bytes, size_t size)
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
    return ZipArchive(archive);
}

bool readEntry(zip_t* archive, zip_int64_t index, size_t maxSize, std::string& text)
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, zip_uint64_t(index), 0, &stat) != 0 || zipUnsupportedMethod(stat) != ZIP_ER_OK)
        return false;
    ZipMember member(zip_fopen_index(archive, zip_uint64_t(index), 0));
    text.clear();
    return member && zipReadMember(std::move(member), text, maxSize) == ZIP_ER_OK;
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
    ZipArchive archive = openArchive(bytes, size);
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
