#include "doc/music_loader.h"

#include "doc/kt_container.h"
#include "doc/message_sink.h"
#include "xml/xpxml_doc.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr size_t kReadBlock = size_t(1) << 16;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

enum class ReadOutcome { Ok, Failed, TooLarge };

// Reads the whole file. Reading in blocks rather than trusting the reported
// size copes with files that change size and with devices that never end.
ReadOutcome readWhole(std::FILE* file, std::vector<char>& bytes, size_t maxSize, int& error)
{
    size_t expected = 0;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        const long size = std::ftell(file);
        if (size > 0 && size_t(size) <= maxSize) {
            expected = size_t(size);
            bytes.reserve(expected + 1);
        }
        std::rewind(file);
    }
    for (;;) {
        const size_t used = bytes.size();
        if (used > maxSize)
            return ReadOutcome::TooLarge;
        // Ask for one byte more than expected so that the end shows in one
        // read, and never for more than one byte past the limit.
        size_t want = std::max(kReadBlock, expected > used ? expected - used + 1 : 0);
        const size_t room = maxSize - used;
        if (room < want)
            want = room + 1;
        bytes.resize(used + want);
        errno = 0;
        const size_t got = std::fread(bytes.data() + used, 1, want, file);
        bytes.resize(used + got);
        if (got < want) {
            if (std::ferror(file)) {
                error = errno;
                return ReadOutcome::Failed;
            }
            return ReadOutcome::Ok;
        }
    }
}

// A failure's message keeps its first lines as they have always read, and
// gains one plain line a user understands.
std::string withPlainLine(std::string message, const std::string& plain)
{
    if (!message.empty() && message.back() != '\n')
        message += '\n';
    return message + plain;
}

std::string readFailure(int error, const std::string& path)
{
    return withPlainLine(formatMessage("Error %ld reading %s", long(error), path.c_str()), std::strerror(error));
}

int parseText(XPxmlDoc& tree, const char* text, size_t length, const std::string& path,
              MessageSink& sink)
{
    int code;
    try {
        code = tree.loadText(length > 0 ? text : "", length);
    } catch (const std::bad_alloc&) {
        // The parser has dropped what it had built, so the message has the memory back.
        sink.showMessage(outOfMemoryMessage(path));
        return kLoadOutOfMemory;
    }
    if (code != 0)
        sink.showMessage(withPlainLine(formatMessage("Error loading %s\n%s", path.c_str(), tree.errorText()),
                                       formatMessage("The file is not valid music XML at line %ld.", tree.line())));
    return code;
}

} // namespace

std::string outOfMemoryMessage(const std::string& path)
{
    return formatMessage("Out of memory loading %s", path.c_str());
}

int loadMusicData(XPxmlDoc& tree, std::vector<char>& bytes, const std::string& path,
                  MessageSink& sink)
{
    if (!isKtContainer(bytes.data(), bytes.size()))
        return parseText(tree, bytes.data(), bytes.size(), path, sink);

    bytes[0] = 'P';
    bytes[1] = 'K';
    std::string text;
    const int result = unpackText(bytes.data(), bytes.size(), text);
    if (result != 0) {
        sink.showMessage(withPlainLine(
            formatMessage("Error %ld decoding %s\n%s", long(result), path.c_str(), tree.errorText()),
            unpackProblemText(result)));
        return result;
    }
    const int code = parseText(tree, text.data(), text.size(), path, sink);
    if (code == 0)
        tree.clearModified();
    return code;
}

int readMusicBytes(const std::string& path, std::vector<char>& bytes, MessageSink& sink, size_t maxSize)
{
    // Read-only: a music file on disk is never opened for writing.
    File file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        const int error = errno;
        sink.showMessage(readFailure(error, path));
        return kLoadReadFailed;
    }

    int error = 0;
    ReadOutcome outcome;
    try {
        outcome = readWhole(file.get(), bytes, maxSize, error);
    } catch (const std::bad_alloc&) {
        outcome = ReadOutcome::TooLarge;
    }
    file.reset();

    if (outcome == ReadOutcome::Failed) {
        sink.showMessage(readFailure(error, path));
        return kLoadReadFailed;
    }
    if (outcome == ReadOutcome::TooLarge) {
        std::vector<char>().swap(bytes);
        sink.showMessage(outOfMemoryMessage(path));
        return kLoadOutOfMemory;
    }
    return 0;
}

int loadMusicFile(XPxmlDoc& tree, const std::string& path, MessageSink& sink, size_t maxSize)
{
    std::vector<char> bytes;
    const int result = readMusicBytes(path, bytes, sink, maxSize);
    return result != 0 ? result : loadMusicData(tree, bytes, path, sink);
}
