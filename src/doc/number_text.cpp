#include "doc/number_text.h"

#include "xml/xpxml_node.h"

#include <cctype>
#include <charconv>
#include <cstring>
#include <limits>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

const char* skipDigits(const char* p)
{
    while (isDigit(*p))
        ++p;
    return p;
}

} // namespace

int ParseNumberList(const char* text, int32_t* table, int size)
{
    if (!table || size <= 0)
        return 0;
    std::memset(table, 0, sizeof(int32_t) * size_t(size));
    if (!text || !*text)
        return 0;
    int count = 0;
    for (const char* entry = text; count < size;) {
        table[count++] = int32_t(xpxmlLeadingInteger(entry));
        const char* comma = std::strchr(entry, ',');
        if (!comma || comma[1] == '\0')
            break;
        entry = comma + 1;
    }
    return count;
}

double leadingReal(const char* text)
{
    if (!text)
        return 0.0;
    while (isBlank(*text))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-')
        negative = *text++ == '-';

    // Find the longest prefix that is a number, then convert just that.
    const char* start = text;
    const char* end = skipDigits(start);
    bool anyDigit = end != start;
    if (*end == '.') {
        const char* fraction = skipDigits(end + 1);
        anyDigit = anyDigit || fraction != end + 1;
        end = fraction;
    }
    if (!anyDigit)
        return 0.0;
    bool tinyExponent = false;
    if (*end == 'e' || *end == 'E') {
        const char* exponent = end + 1;
        const bool exponentNegative = *exponent == '-';
        if (*exponent == '+' || *exponent == '-')
            ++exponent;
        if (isDigit(*exponent)) {
            end = skipDigits(exponent);
            tinyExponent = exponentNegative;
        }
    }

    double value = 0.0;
    const auto result = std::from_chars(start, end, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range)
        value = tinyExponent ? 0.0 : std::numeric_limits<double>::infinity();
    return negative ? -value : value;
}

int64_t leadingInteger64(const char* text)
{
    if (!text)
        return 0;
    while (isBlank(*text))
        ++text;
    const bool negative = *text == '-';
    if (*text == '+' || *text == '-')
        ++text;
    int64_t value = 0;
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    for (; isDigit(*text); ++text) {
        const int digit = *text - '0';
        value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
    }
    return negative ? -value : value;
}

const char* afterLeadingInteger(const char* text)
{
    while (isBlank(*text))
        ++text;
    if (*text == '+' || *text == '-')
        ++text;
    return skipDigits(text);
}

bool startsWithLetter(const char* text, char letter)
{
    return text && std::toupper(static_cast<unsigned char>(text[0])) == letter;
}
