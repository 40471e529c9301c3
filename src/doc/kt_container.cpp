#include "doc/kt_container.h"

#include "doc/zip_member.h"

#include <algorithm>
#include <memory>
#include <new>
#include <utility>

namespace {

constexpr const char* kPassword = "Rq#m27V";
// Deflate cannot expand data by more than about 1032 to 1; a larger declared
// size is a lie and must not make us reserve memory up front.
constexpr size_t kMaxDeflateRatio = 1032;

// libzip's code for the archive's last failure; fallback when it names none,
// so that a failure can never read as success.
int archiveError(zip_t* archive, int fallback)
{
    const int code = zip_error_code_zip(zip_get_error(archive));
    return code != ZIP_ER_OK ? code : fallback;
}

// How much to reserve before reading: the member's declared size, but never
// more than the archive could really hold or than the limit allows.
size_t reserveHint(const zip_stat_t& stat, size_t archiveLength, size_t limit)
{
    if (!(stat.valid & ZIP_STAT_SIZE))
        return 0;
    const size_t plausible = archiveLength > limit / kMaxDeflateRatio ? limit : archiveLength * kMaxDeflateRatio;
    return size_t(std::min<zip_uint64_t>(stat.size, std::min(plausible, limit))) + 1;
}


int unpackInto(const char* archive, size_t length, std::string& text, size_t limit)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(archive, length, 0, &error);
    zip_error_fini(&error);
    if (!source)
        return kUnpackSourceFailed;

    zip_error_init(&error);
    ZipArchive zip(zip_open_from_source(source, ZIP_RDONLY, &error));
    const int openCode = zip_error_code_zip(&error);
    zip_error_fini(&error);
    if (!zip) {
        zip_source_free(source); // only a successful open takes the source over
        return openCode != ZIP_ER_OK ? openCode : kUnpackOpenFailed;
    }
    if (zip_get_num_entries(zip.get(), 0) <= 0)
        return ZIP_ER_NOENT;

    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(zip.get(), 0, 0, &stat) != 0)
        return archiveError(zip.get(), ZIP_ER_INCONS);
    if (const int unsupported = zipUnsupportedMethod(stat))
        return unsupported;
    ZipMember member(zip_fopen_index_encrypted(zip.get(), 0, 0, kPassword));
    if (!member)
        return archiveError(zip.get(), ZIP_ER_OPEN);
    text.reserve(reserveHint(stat, length, limit));
    return zipReadMember(std::move(member), text, limit);
}

} // namespace

bool isKtContainer(const char* bytes, size_t length)
{
    return length >= 2 && bytes[0] == 'K' && bytes[1] == 'T';
}

int unpackText(const char* archive, size_t length, std::string& text, size_t limit)
{
    text.clear();
    int result;
    try {
        result = unpackInto(archive, length, text, limit);
    } catch (const std::bad_alloc&) {
        result = ZIP_ER_MEMORY;
    }
    if (result != 0)
        std::string().swap(text); // frees the partial output
    return result;
}

std::string unpackProblemText(int result)
{
    switch (result) {
    case ZIP_ER_MEMORY:
        return "There is not enough memory to unpack the file.";
    case ZIP_ER_NOENT:
        return "The packed file holds no music.";
    default:
        return "The file is damaged or is not a music file.";
    }
}
