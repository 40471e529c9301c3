#pragma once

#include <cstddef>
#include <string>

// The packed form of a music file: a ZIP archive holding the XML text as one
// member, deflated and under traditional ZIP encryption, whose first two bytes
// "PK" are written as "KT" on disk.

// Unpacked text larger than this fails as out of memory, so that a small
// hostile archive cannot take all the memory there is.
inline constexpr size_t kMaxUnpackedText = size_t(256) << 20;

// The result of unpackText when the zip source cannot be made.
inline constexpr int kUnpackSourceFailed = -1;
// The result when the archive object cannot be made and libzip names no reason.
inline constexpr int kUnpackOpenFailed = -2;

// True when bytes begin with the container's mark "KT".
bool isKtContainer(const char* bytes, size_t length);

// Unpacks the first member of the archive (with "PK" already put back) into
// text, in memory. Returns 0 on success; kUnpackSourceFailed or
// kUnpackOpenFailed when libzip cannot be started; otherwise libzip's own
// ZIP_ER_* code (ZIP_ER_NOZIP for garbage, ZIP_ER_WRONGPASSWD, ZIP_ER_CRC,
// ZIP_ER_NOENT for an archive without members, ZIP_ER_MEMORY beyond limit …).
// On failure text is left empty. Members stored without compression or
// without encryption are read as well.
int unpackText(const char* archive, size_t length, std::string& text,
               size_t limit = kMaxUnpackedText);

// What a result of unpackText means to a user, in one plain sentence.
std::string unpackProblemText(int result);
