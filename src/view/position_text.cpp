#include "view/position_text.h"

#include "doc/number_text.h"

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
    p += negative;
    const char* first = p;
    uint64_t value = 0; // wraps past 19 digits, which are refused below
    for (unsigned digit; (digit = unsigned(uint8_t(*p)) - '0') <= 9; ++p)
        value = value * 10 + digit;
    const auto digits = p - first;
    if (digits == 0 || digits > 18 || (*first == '0' && digits > 1)) // beyond what placement ever writes
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
    out.length = uint8_t(p - out.text);
    return out;
}
