#pragma once

#include <string>

// The version line of the About box, worked out from a product version such as
// "1, 0, 14, 2": commas become dots, blanks go, and the text is cut at its last
// dot ("1.0.14"). The first character after that dot is the build marker:
// "0" marks an alpha build, "1" a beta build, anything else a release.
struct DisplayVersion {
    std::string version; // "1.0.14"; empty for an empty product version
    std::string suffix;  // " (Alpha)", " (Beta)" or ""
};

DisplayVersion displayVersionFrom(const char* productVersion);

// The program's own display version, from the product version it was built with.
const DisplayVersion& programDisplayVersion();

// Row 0 of the About list: "Zolva Reader Version 1.0.14" plus the suffix.
std::string aboutVersionLine(const DisplayVersion& version);
