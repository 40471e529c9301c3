#include "doc/kt_container.h"

#include <zip.h>

#include <algorithm>
#include <memory>
#include <new>
#include <utility>

namespace {

constexpr const char* kPassword = "Rq#m27V";
constexpr size_t kBlockSize = size_t(256) << 10;
// Deflate cannot expand data by more than about 1032 to 1; a larger declared
// size is a lie and must not make us reserve memory up front.
constexpr size_t kMaxDeflateRatio = 1032;

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

struct MemberCloser {
    void operator()(zip_file_t* member) const { zip_fclose(member); }
};
using Member = std::unique_ptr<zip_file_t, MemberCloser>;

// libzip's code for the archive's last failure; fallback when it names none,
// so that a failure can never read as success.
int archiveError(zip_t* archive, int fallback)
{
    const int code = zip_error_code_zip(zip_get_error(archive));
    return code != ZIP_ER_OK ? code : fallback;
}

// libzip 1.7 leaks the member's half-built reader when it opens a member whose
// encryption or compression it cannot handle, so such members are refused
// before they are opened.
int unsupportedMethod(const zip_stat_t& stat)
{
    if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE &&
        !zip_encryption_method_supported(stat.encryption_method, 0))
        return ZIP_ER_ENCRNOTSUPP;
    if ((stat.valid & ZIP_STAT_COMP_METHOD) && !zip_compression_method_supported(stat.comp_method, 0))
        return ZIP_ER_COMPNOTSUPP;
    return ZIP_ER_OK;
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

// Reads the opened member to its end, checking libzip's verdict on the last
// read and on closing: a wrong password that slips past the check byte only
// shows up there, as an inflate or CRC error.
int readMember(Member member, std::string& text, size_t limit)
{
    for (;;) {
        const size_t used = text.size();
        if (used > limit)
            return ZIP_ER_MEMORY;
        // One byte more than the limit allows tells a too-large member apart.
        const size_t want = std::min(kBlockSize, limit + 1 - used);
        text.resize(used + want);
        const zip_int64_t got = zip_fread(member.get(), text.data() + used, want);
        if (got < 0) {
            const int code = zip_error_code_zip(zip_file_get_error(member.get()));
            return code != ZIP_ER_OK ? code : ZIP_ER_READ;
        }
        text.resize(used + size_t(got));
        if (got == 0)
            break;
    }
    return zip_fclose(member.release());
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
    Archive zip(zip_open_from_source(source, ZIP_RDONLY, &error));
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
    if (const int unsupported = unsupportedMethod(stat))
        return unsupported;
    Member member(zip_fopen_index_encrypted(zip.get(), 0, 0, kPassword));
    if (!member)
        return archiveError(zip.get(), ZIP_ER_OPEN);
    text.reserve(reserveHint(stat, length, limit));
    return readMember(std::move(member), text, limit);
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
