#pragma once

#include <cstddef>
#include <string>
#include <vector>

class MessageSink;
class XPxmlDoc;

// Result of loadMusicFile when the file cannot be opened or read.
inline constexpr int kLoadReadFailed = 1000;
// Result when the file's bytes, or the tree parsed from them, cannot be held
// in memory; the tree is then left empty.
inline constexpr int kLoadOutOfMemory = 1001;
// A file larger than this is refused as out of memory instead of being read.
inline constexpr size_t kMaxMusicFileSize = size_t(256) << 20;

// What every step of opening path shows when memory runs out.
std::string outOfMemoryMessage(const std::string& path);

// Reads the whole file at path into bytes. Returns 0, or kLoadReadFailed or
// kLoadOutOfMemory (also for a file above maxSize) after showing its message
// through sink. The file is only ever opened for reading.
int readMusicBytes(const std::string& path, std::vector<char>& bytes, MessageSink& sink,
                   size_t maxSize = kMaxMusicFileSize);

// Reads a music file, plain or packed in a "KT" container, into tree. Returns
// 0 on success; otherwise a nonzero code after showing its message through
// sink: kLoadReadFailed, kLoadOutOfMemory (also for a file above maxSize), the
// unpacking result or the parser's error code. A container's tree comes back
// with its modified flags clear; a plain file's keeps the parser's flags, which
// the document clears once it is complete (a walk over every element costs
// as much on large files as a sixth of the parse). The file is only ever
// opened for reading.
int loadMusicFile(XPxmlDoc& tree, const std::string& path, MessageSink& sink,
                  size_t maxSize = kMaxMusicFileSize);

// The same for a file already in memory; path only names it in messages.
// A container's first two bytes are put back to "PK" in place.
int loadMusicData(XPxmlDoc& tree, std::vector<char>& bytes, const std::string& path,
                  MessageSink& sink);
