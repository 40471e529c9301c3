#include "app/display_version.h"

#include "doc/music_version.h"

#include <cstring>

#ifndef ZOLVA_PRODUCT_VERSION
#error "ZOLVA_PRODUCT_VERSION must name the product version, as in \"1, 0, 14, 2\""
#endif

namespace {

// The first character after the last separator, skipping the blanks that the
// dotted form drops; 0 when the product version has no separator or nothing after it.
char buildMarker(const char* productVersion)
{
    const char* lastSeparator = nullptr;
    for (const char* p = productVersion; *p; ++p) {
        if (*p == ',' || *p == '.')
            lastSeparator = p;
    }
    if (!lastSeparator)
        return 0;
    const char* p = lastSeparator + 1;
    while (*p == ' ')
        ++p;
    return *p;
}

} // namespace

DisplayVersion displayVersionFrom(const char* productVersion)
{
    DisplayVersion result;
    if (!productVersion)
        return result;
    result.version = versionFromProductVersion(productVersion);
    switch (buildMarker(productVersion)) {
    case '0': result.suffix = " (Alpha)"; break;
    case '1': result.suffix = " (Beta)"; break;
    default: break;
    }
    return result;
}

const DisplayVersion& programDisplayVersion()
{
    static const DisplayVersion version = displayVersionFrom(ZOLVA_PRODUCT_VERSION);
    return version;
}

std::string aboutVersionLine(const DisplayVersion& version)
{
    return "Zolva Reader Version " + version.version + version.suffix;
}
