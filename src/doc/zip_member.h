#pragma once

#include <zip.h>

#include <cstddef>
#include <memory>
#include <string>

// What reading a member out of a ZIP archive needs, shared by the music
// file's container and the compressed MusicXML import.

struct ZipArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ZipArchive = std::unique_ptr<zip_t, ZipArchiveCloser>;

struct ZipMemberCloser {
    void operator()(zip_file_t* member) const { zip_fclose(member); }
};
using ZipMember = std::unique_ptr<zip_file_t, ZipMemberCloser>;

// libzip 1.7 leaks the member's half-built reader when it opens a member whose
// encryption or compression it cannot handle, so such members are refused
// before they are opened: the libzip error code, or ZIP_ER_OK.
int zipUnsupportedMethod(const zip_stat_t& stat);

// Reads the opened member to its end into text, checking libzip's verdict on
// the last read and on closing (a wrong password that slips past the check
// byte only shows up there, as an inflate or CRC error); the size a member
// states is not trusted. ZIP_ER_OK, or the libzip error code (ZIP_ER_MEMORY
// past limit bytes).
int zipReadMember(ZipMember member, std::string& text, size_t limit);
