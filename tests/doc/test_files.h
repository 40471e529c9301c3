#pragma once

#include <string>
#include <vector>

// Files the tests write for themselves, in a temporary folder of each test's
// own that is removed when the test ends.
std::string tempPath(const std::string& name);
std::string writeTempFile(const std::string& name, const std::vector<char>& bytes);
std::string writeTempFile(const std::string& name, const std::string& text);
std::vector<char> readFileBytes(const std::string& path);

// The music files made for the tests, in tests/data.
#define ZOLVA_DOC_TEST_DATA ZOLVA_SOURCE_DIR "/tests/data"
