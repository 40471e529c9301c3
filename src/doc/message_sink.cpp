#include "doc/message_sink.h"

#include <cstdarg>
#include <cstdio>

std::string formatMessage(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);

    std::string text;
    if (length > 0) {
        text.resize(size_t(length));
        // The string's own terminator slot takes vsnprintf's zero byte.
        std::vsnprintf(text.data(), text.size() + 1, format, again);
    }
    va_end(again);
    return text;
}
