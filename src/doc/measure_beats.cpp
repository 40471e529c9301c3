#include "doc/measure_beats.h"

#include "doc/music_vocabulary.h"
#include "doc/number_text.h"
#include "xml/xpxml_node.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr long kQuarter = 4;

long atLeastOne(long value)
{
    return value >= 1 ? value : kQuarter;
}

} // namespace

TimeSignature readTimeSignature(const char* timing)
{
    TimeSignature signature;
    if (!timing || !*timing)
        return signature;
    const char* numbers = timing + 1;
    signature.beats = atLeastOne(xpxmlLeadingInteger(numbers));
    const char* slash = afterLeadingInteger(numbers);
    if (*slash == '/')
        signature.unit = atLeastOne(xpxmlLeadingInteger(slash + 1));
    return signature;
}

std::string automaticTiming(const char* timing)
{
    if (!timing || !*timing)
        return MusicValue::CommonTime;
    std::string text = timing;
    text[0] = MusicValue::InheritedTiming;
    return text;
}

bool timingLetterIs(const char* timing, char letter)
{
    return timing && std::toupper(static_cast<unsigned char>(timing[0])) == letter;
}

int valueDots(const char* value)
{
    const char* dot = value ? std::strchr(value, '.') : nullptr;
    if (!dot)
        return 0;
    return dot[1] == '.' ? 2 : 1;
}

double MeasureBeats(long denominator, long valueNumber, int dots, bool tuplet)
{
    const double base = double(atLeastOne(denominator)) / double(atLeastOne(valueNumber));
    double beats = base;
    if (dots >= 1)
        beats += base * 0.5;
    if (dots >= 2)
        beats += base * 0.25;
    if (tuplet)
        beats *= 0.6666666666666666;
    return beats;
}

double MeasureBeats(long denominator, const char* value, const char* tuplet)
{
    return MeasureBeats(denominator, value ? xpxmlLeadingInteger(value) : 0, valueDots(value), tuplet && *tuplet);
}

bool fillsMeasure(double accumulated, long beats)
{
    const double scaled = std::trunc((accumulated + 0.00000001) * 10000000.0);
    // Far outside what a measure can hold; also keeps the conversion defined.
    if (!(std::fabs(scaled) < 9.0e18))
        return false;
    return int64_t(scaled) == int64_t(beats) * 10000000;
}
