#include "view/position_text.h"

#include "view/number_text.h"

#include <charconv>

EventPosition parsePosition(const char* text)
{
    EventPosition result;
    if (!text)
        return result;
    result.position = leadingInteger64(text);
    const char* comma = afterLeadingInteger(text);
    if (*comma == ',')
        result.height = leadingInteger64(comma + 1);
    return result;
}

namespace {

// A number as to_chars writes it: an optional minus, no leading zeros.
const char* readWrittenNumber(const char* p, int64_t& out)
{
    const bool negative = *p == '-';
    if (negative)
        ++p;
    if (*p < '0' || *p > '9' || (*p == '0' && p[1] >= '0' && p[1] <= '9'))
        return nullptr;
    uint64_t value = 0;
    int digits = 0;
    for (; *p >= '0' && *p <= '9'; ++p, ++digits)
        value = value * 10 + uint64_t(*p - '0');
    if (digits > 18) // beyond what placement ever writes
        return nullptr;
    out = negative ? -int64_t(value) : int64_t(value);
    return p;
}

} // namespace

bool parseWrittenPosition(const char* text, int64_t& position, int64_t& height)
{
    const char* p = text ? readWrittenNumber(text, position) : nullptr;
    if (!p || *p != ',')
        return false;
    p = readWrittenNumber(p + 1, height);
    return p && *p == '\0';
}

PositionText formatPosition(int64_t position, int64_t height)
{
    PositionText out;
    char* end = out.text + sizeof out.text - 1;
    char* p = std::to_chars(out.text, end, position).ptr;
    *p++ = ',';
    p = std::to_chars(p, end, height).ptr;
    *p = '\0';
    return out;
}
