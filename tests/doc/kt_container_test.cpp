// unpackText: what comes back from well-formed containers, and that every
// damaged one fails with a nonzero code and no text.
#include "doc/kt_container.h"

#include "container_maker.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zip.h>

#include <string>
#include <vector>

namespace {

const std::string kMusic = "<Zolva Version=\"1.0.14\"><Notes><Note Value=\"4\" Tines=\"9\"/></Notes></Zolva>";

// unpackText over a container whose "KT" is put back to "PK", as the loader does.
int unpack(std::vector<char> container, std::string& text, size_t limit = kMaxUnpackedText)
{
    if (container.size() >= 2) {
        container[0] = 'P';
        container[1] = 'K';
    }
    return unpackText(container.data(), container.size(), text, limit);
}

// Text long enough to take several reads and compress well.
std::string longText(size_t bytes)
{
    std::string text;
    for (int i = 0; text.size() < bytes; ++i)
        text += "<Note Value=\"8\" Tines=\"" + std::to_string(i % 17 + 1) + "\"/>\n";
    return text;
}

struct GoodCase {
    const char* name;
    ContainerRecipe recipe;
};

class UnpackGood : public testing::TestWithParam<GoodCase> {};

TEST_P(UnpackGood, GivesTheFirstMemberBack)
{
    const ContainerRecipe& recipe = GetParam().recipe;
    std::string text;
    ASSERT_EQ(unpack(makeContainer(recipe), text), 0);
    EXPECT_EQ(text, recipe.members.front());
}

ContainerRecipe recipe(std::vector<std::string> members, bool deflate = true, bool encrypt = true)
{
    ContainerRecipe s;
    s.members = std::move(members);
    s.deflate = deflate;
    s.encrypt = encrypt;
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Container, UnpackGood,
    testing::Values(GoodCase{"WithTrailingZero", recipe({withZero(kMusic)})},
                    GoodCase{"WithoutTrailingZero", recipe({kMusic})},
                    GoodCase{"StoredMember", recipe({withZero(kMusic)}, false)},
                    GoodCase{"UnencryptedMember", recipe({kMusic}, true, false)},
                    GoodCase{"SeveralMembers", recipe({kMusic, "<Other/>", "third"})},
                    GoodCase{"EmptyMember", recipe({""})},
                    GoodCase{"SeveralBlocks", recipe({longText(3u << 20)})}),
    [](const testing::TestParamInfo<GoodCase>& info) { return info.param.name; });

struct BadCase {
    const char* name;
    std::vector<char> archive;
    std::vector<int> expected; // the codes it may fail with; empty: any nonzero code
};

class UnpackBad : public testing::TestWithParam<BadCase> {};

TEST_P(UnpackBad, FailsWithNoText)
{
    const BadCase& bad = GetParam();
    std::string text = "left from before";
    const int result = unpack(bad.archive, text);
    EXPECT_NE(result, 0);
    if (!bad.expected.empty())
        EXPECT_THAT(bad.expected, testing::Contains(result));
    EXPECT_TRUE(text.empty());
}

std::vector<char> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

std::vector<char> truncated(std::vector<char> archive)
{
    archive.resize(archive.size() / 2);
    return archive;
}

std::vector<char> withFlippedByte(std::vector<char> archive, size_t at)
{
    archive[at] = char(archive[at] ^ 0x5A);
    return archive;
}

// Marks the member as under "strong encryption", a method libzip cannot read,
// in its central directory entry (general purpose flags, 8 bytes in).
std::vector<char> withStrongEncryption(std::vector<char> archive)
{
    const std::string bytes(archive.begin(), archive.end());
    const size_t entry = bytes.find(std::string("PK\x01\x02", 4));
    archive.at(entry + 8) = char(archive.at(entry + 8) | 0x41);
    return archive;
}

// An archive with nothing in it: only the end-of-central-directory record.
std::vector<char> emptyArchive()
{
    std::vector<char> bytes(22, '\0');
    const char mark[] = {'K', 'T', 5, 6};
    std::copy(mark, mark + 4, bytes.begin());
    return bytes;
}

ContainerRecipe wrongPassword()
{
    ContainerRecipe s = recipe({kMusic});
    s.password = "rq#m27v";
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Container, UnpackBad,
    testing::Values(BadCase{"GarbageAfterMark", bytesOf("KTthis is not an archive at all"), {ZIP_ER_NOZIP}},
                    BadCase{"MarkOnly", bytesOf("KT"), {ZIP_ER_NOZIP}},
                    BadCase{"Truncated", truncated(makeContainer(kMusic)), {}},
                    // The encryption header is random: one archive in 256 passes
                    // the password's check byte and fails only on its data.
                    BadCase{"WrongPassword", makeContainer(wrongPassword()),
                            {ZIP_ER_WRONGPASSWD, ZIP_ER_ZLIB, ZIP_ER_CRC}},
                    // Byte 80 lies in the encrypted data: the local header and name take 40.
                    BadCase{"DamagedData", withFlippedByte(makeContainer(longText(4000)), 80), {}},
                    BadCase{"NoMembers", emptyArchive(), {ZIP_ER_NOENT}},
                    BadCase{"UnknownEncryption", withStrongEncryption(makeContainer(kMusic)), {ZIP_ER_ENCRNOTSUPP}}),
    [](const testing::TestParamInfo<BadCase>& info) { return info.param.name; });

TEST(Unpack, EveryCutOfAnArchiveFails)
{
    const std::vector<char> whole = makeContainer(withZero(kMusic));
    for (size_t length = 0; length < whole.size(); ++length) {
        std::string text;
        std::vector<char> cut(whole.begin(), whole.begin() + std::ptrdiff_t(length));
        EXPECT_NE(unpack(cut, text), 0) << "cut at " << length;
        EXPECT_TRUE(text.empty());
    }
}

TEST(Unpack, NoWrongPasswordGetsThrough)
{
    // About one wrong password in 256 passes the check byte of traditional
    // encryption; the inflate or CRC check must still refuse it.
    for (int i = 0; i < 600; ++i) {
        ContainerRecipe s = recipe({kMusic});
        s.password = "guess" + std::to_string(i);
        std::string text;
        EXPECT_NE(unpack(makeContainer(s), text), 0) << s.password;
        EXPECT_TRUE(text.empty());
    }
}

TEST(Unpack, NullBufferFailsAtTheFirstStage)
{
    std::string text;
    EXPECT_EQ(unpackText(nullptr, 10, text), kUnpackSourceFailed);
}

TEST(Unpack, MemberBeyondTheLimitFailsAsOutOfMemory)
{
    const std::string text = longText(100000);
    const std::vector<char> container = makeContainer(text);
    std::string out;
    EXPECT_EQ(unpack(container, out, text.size() - 1), ZIP_ER_MEMORY);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(unpack(container, out, text.size()), 0);
    EXPECT_EQ(out, text);
}

} // namespace
