#include "test_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

std::string tempPath(const std::string& name)
{
    return testing::TempDir() + "zolva_doc_" + name;
}

std::string writeTempFile(const std::string& name, const std::vector<char>& bytes)
{
    const std::string path = tempPath(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    return path;
}

std::string writeTempFile(const std::string& name, const std::string& text)
{
    return writeTempFile(name, std::vector<char>(text.begin(), text.end()));
}

std::vector<char> readFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
