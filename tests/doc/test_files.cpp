#include "test_files.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>

namespace {

// Each test writes into a folder of its own, removed with all it holds when
// the test ends.
class TestFolder : public testing::EmptyTestEventListener {
public:
    static std::string path()
    {
        static TestFolder* const folder = [] {
            auto* listener = new TestFolder;
            testing::UnitTest::GetInstance()->listeners().Append(listener); // owns it
            return listener;
        }();
        if (!folder->m_dir)
            folder->m_dir = std::make_unique<QTemporaryDir>();
        return folder->m_dir->path().toStdString() + "/";
    }

    void OnTestEnd(const testing::TestInfo&) override { m_dir.reset(); }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

} // namespace

std::string tempPath(const std::string& name)
{
    return TestFolder::path() + name;
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
