#pragma once

#include <string>

// The program version that music files are compared against: "1.0.14",
// derived from the product version "1, 0, 14, 2".
const std::string& programVersion();

// A product version ("1, 0, 14, 2") as a file version: commas become dots,
// blanks go, and the last component is cut off ("1.0.14").
std::string versionFromProductVersion(const char* productVersion);

// Compares two dotted versions component by component: -1 when fileVersion is
// older, 1 when it is newer, 0 when equal. Running out of components in either
// counts as equal, so "1.0" equals "1.0.14" and "" equals any version.
int compareVersions(const char* fileVersion, const char* programVersion);
