#include "doc/music_version.h"

#include "xml/xpxml_node.h"

#include <cstring>

#ifndef ZOLVA_PRODUCT_VERSION
#error "ZOLVA_PRODUCT_VERSION must name the product version, as in \"1, 0, 14, 2\""
#endif

const std::string& programVersion()
{
    static const std::string version = versionFromProductVersion(ZOLVA_PRODUCT_VERSION);
    return version;
}

std::string versionFromProductVersion(const char* productVersion)
{
    std::string version;
    for (const char* p = productVersion; *p; ++p) {
        if (*p == ',')
            version += '.';
        else if (*p != ' ')
            version += *p;
    }
    const size_t lastDot = version.rfind('.');
    if (lastDot != std::string::npos)
        version.erase(lastDot);
    return version;
}

int compareVersions(const char* fileVersion, const char* programVersion)
{
    const char* a = fileVersion;
    const char* b = programVersion;
    while (*a && *b) {
        const long left = xpxmlLeadingInteger(a);
        const long right = xpxmlLeadingInteger(b);
        if (left != right)
            return left < right ? -1 : 1;
        a = std::strchr(a, '.');
        b = std::strchr(b, '.');
        if (!a || !b)
            break;
        ++a;
        ++b;
    }
    return 0;
}
