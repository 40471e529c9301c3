#include "doc/zip_member.h"

#include <algorithm>

namespace {
constexpr size_t kBlockSize = size_t(256) << 10;
} // namespace

int zipUnsupportedMethod(const zip_stat_t& stat)
{
    if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE &&
        !zip_encryption_method_supported(stat.encryption_method, 0))
        return ZIP_ER_ENCRNOTSUPP;
    if ((stat.valid & ZIP_STAT_COMP_METHOD) && !zip_compression_method_supported(stat.comp_method, 0))
        return ZIP_ER_COMPNOTSUPP;
    return ZIP_ER_OK;
}

int zipReadMember(ZipMember member, std::string& text, size_t limit)
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
