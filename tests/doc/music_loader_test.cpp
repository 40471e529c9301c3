// loadMusicFile: both on-disk forms, and every failure with its exact message
// and code.
#include "doc/music_loader.h"

#include "container_maker.h"
#include "doc/message_sink.h"
#include "failing_allocations.h"
#include "recording_sink.h"
#include "test_files.h"
#include "xml/xpxml.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zip.h>

#include <cerrno>
#include <string>

namespace {

const std::string kPlain = ZOLVA_DOC_TEST_DATA "/frere_jacques.zvm";
const std::string kPacked = ZOLVA_DOC_TEST_DATA "/frere_jacques_packed.zvm";

struct Loaded {
    int result = -1;
    std::string tree; // the root written out, to compare loads
    std::vector<std::string> messages;
    bool modified = true;
    std::string errorText;
};

Loaded load(const std::string& path)
{
    XPxmlDoc tree;
    RecordingSink sink;
    Loaded loaded;
    loaded.result = loadMusicFile(tree, path, sink);
    if (const XPxmlNode* root = tree.rootElement())
        loaded.tree = root->textContent();
    loaded.messages = sink.messages;
    loaded.modified = tree.isModified();
    loaded.errorText = tree.errorText();
    return loaded;
}

TEST(LoadMusicFile, PlainFileLoadsWithoutMessages)
{
    const Loaded plain = load(kPlain);
    EXPECT_EQ(plain.result, 0);
    EXPECT_TRUE(plain.messages.empty());
    EXPECT_NE(plain.tree.find("Tempo=\"120\""), std::string::npos);
}

// Every container form must give the same tree as the plain file.
TEST(LoadMusicFile, ContainersLoadLikeThePlainFile)
{
    const Loaded plain = load(kPlain);
    ASSERT_EQ(plain.result, 0);
    const std::vector<char> text = readFileBytes(kPlain);
    const std::string plainText(text.begin(), text.end());

    ContainerRecipe stored;
    stored.members = {withZero(plainText)};
    stored.deflate = false;
    const struct {
        const char* name;
        std::string path;
    } forms[] = {
        {"made by Info-ZIP", kPacked},
        {"with the zero byte", writeTempFile("zero.zvm", makeContainer(withZero(plainText)))},
        {"without the zero byte", writeTempFile("nozero.zvm", makeContainer(plainText))},
        {"stored", writeTempFile("stored.zvm", makeContainer(stored))},
    };
    for (const auto& form : forms) {
        const Loaded packed = load(form.path);
        EXPECT_EQ(packed.result, 0) << form.name;
        EXPECT_TRUE(packed.messages.empty()) << form.name;
        EXPECT_FALSE(packed.modified) << form.name;
        EXPECT_EQ(packed.tree, plain.tree) << form.name;
    }
}

TEST(LoadMusicFile, ContainerOnDiskStaysUntouched)
{
    const std::vector<char> before = readFileBytes(kPacked);
    ASSERT_EQ(load(kPacked).result, 0);
    EXPECT_EQ(readFileBytes(kPacked), before);
}

TEST(LoadMusicFile, PlainTextEndsAtTheFirstZeroByte)
{
    const std::string text = std::string("<Zolva><Notes/></Zolva>") + '\0' + "<<< not xml";
    const Loaded loaded = load(writeTempFile("zero_inside.zvm", text));
    EXPECT_EQ(loaded.result, 0);
    EXPECT_TRUE(loaded.messages.empty());
}

struct Failure {
    const char* name;
    std::string path;
    int expectedResult;
    std::string expectedMessage;
};

void expectFailure(const Failure& failure)
{
    const Loaded loaded = load(failure.path);
    EXPECT_EQ(loaded.result, failure.expectedResult) << failure.name;
    const std::string& expected = failure.expectedMessage;
    ASSERT_EQ(loaded.messages.size(), 1u) << failure.name;
    EXPECT_EQ(loaded.messages[0], expected) << failure.name;
}

TEST(LoadMusicFile, FileThatCannotBeReadShowsTheSystemError)
{
    const std::string missing = tempPath("does_not_exist.zvm");
    expectFailure({"missing", missing, kLoadReadFailed,
                   formatMessage("Error %ld reading %s\nNo such file or directory", long(ENOENT), missing.c_str())});
#ifdef __linux__
    const std::string folder = testing::TempDir();
    expectFailure({"folder", folder, kLoadReadFailed,
                   formatMessage("Error %ld reading %s\nIs a directory", long(EISDIR), folder.c_str())});
#endif
}

TEST(LoadMusicFile, ContainersThatDoNotUnpackShowTheDecodingMessage)
{
    const char* const kDamaged = "The file is damaged or is not a music file.";
    ContainerRecipe wrongPassword;
    wrongPassword.members = {"<Zolva/>"};
    wrongPassword.password = "Rq#m27v";
    const std::string garbage = writeTempFile("garbage.zvm", std::string("KT garbage"));
    const std::string locked = writeTempFile("locked.zvm", makeContainer(wrongPassword));
    // The tree's error text is empty here: no parse has run.
    expectFailure({"garbage", garbage, ZIP_ER_NOZIP,
                   formatMessage("Error %d decoding %s\n%s", ZIP_ER_NOZIP, garbage.c_str(), kDamaged)});
    // The encryption header is random: one archive in 256 passes the
    // password's check byte and fails only on its data.
    const Loaded wrong = load(locked);
    EXPECT_THAT(wrong.result, testing::AnyOf(ZIP_ER_WRONGPASSWD, ZIP_ER_ZLIB, ZIP_ER_CRC));
    EXPECT_THAT(wrong.messages,
                testing::ElementsAre(formatMessage("Error %d decoding %s\n%s", wrong.result, locked.c_str(), kDamaged)));
    EXPECT_TRUE(wrong.tree.empty());
}

TEST(LoadMusicFile, TextThatDoesNotParseShowsTheParserMessage)
{
    const std::string mismatch = writeTempFile("mismatch.zvm", std::string("<Zolva>\n<a></b>\n</Zolva>"));
    {
        XPxmlDoc tree;
        RecordingSink sink;
        const int result = loadMusicFile(tree, mismatch, sink);
        EXPECT_EQ(result, 2521);
        ASSERT_EQ(sink.messages.size(), 1u);
        EXPECT_EQ(sink.messages[0], "Error loading " + mismatch +
                                        "\n(XPxml line 2521) Line:2> Open/Closing tag mismatch b != a"
                                        "\nThe file is not valid music XML at line 2.");
    }
    // An ordinary ZIP archive begins with "PK": it is no container and fails as text.
    ContainerRecipe zip;
    zip.members = {"<Zolva/>"};
    zip.ktMark = false;
    const std::string archive = writeTempFile("plain_zip.zvm", makeContainer(zip));
    XPxmlDoc tree;
    RecordingSink sink;
    const int result = loadMusicFile(tree, archive, sink);
    EXPECT_NE(result, 0);
    EXPECT_EQ(result, tree.errorCode());
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0], "Error loading " + archive + "\n" + tree.errorText() +
                                    "\nThe file is not valid music XML at line 1.");

    // A container whose text is not XML fails in the parser, not in unpacking.
    const std::string packedJunk = writeTempFile("packed_junk.zvm", makeContainer("<Zolva><x></Zolva>"));
    const Loaded junk = load(packedJunk);
    EXPECT_EQ(junk.result, 2521);
    EXPECT_THAT(junk.messages, testing::ElementsAre("Error loading " + packedJunk + "\n" + junk.errorText +
                                                    "\nThe file is not valid music XML at line 1."));
}

TEST(LoadMusicFile, FileBeyondTheSizeLimitIsOutOfMemory)
{
    const std::string big = writeTempFile("big.zvm", std::string(5000, ' '));
    const struct {
        const char* name;
        std::string path;
    } cases[] = {{"large file", big},
#ifdef __linux__
                 {"endless device", "/dev/zero"}
#endif
    };
    for (const auto& c : cases) {
        XPxmlDoc tree;
        RecordingSink sink;
        EXPECT_EQ(loadMusicFile(tree, c.path, sink, 4096), kLoadOutOfMemory) << c.name;
        ASSERT_EQ(sink.messages.size(), 1u) << c.name;
        EXPECT_EQ(sink.messages[0], "Out of memory loading " + c.path) << c.name;
    }
    XPxmlDoc tree;
    RecordingSink sink;
    EXPECT_EQ(loadMusicFile(tree, big, sink, 5000), 0) << "exactly at the limit";
}

// Memory running out part way through the parse, at each allocation in turn:
// the load fails as out of memory and leaves no tree, not even the one the
// document held before.
TEST(LoadMusicData, OutOfMemoryWhileParsingLeavesNoTree)
{
    // Enough of each kind for lists to grow, texts to leave their nodes and
    // names to be looked up in indexes.
    std::string text = "<?xml version=\"1.0\"?>\n<!DOCTYPE Zolva [<!ENTITY by \"arranged for seventeen tines\">]>\n"
                       "<!-- a comment long enough to need its own storage -->\n"
                       "<Zolva Version=\"1.0.14\" Title=\"A title longer than fifteen bytes\" Note=\"&by;\"\n";
    for (int i = 0; i < 12; ++i)
        text += " Attribute" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    text += "><Notes>";
    for (int i = 0; i < 12; ++i)
        text += "<Note Value=\"4\" Tines=\"1,3,5\">words of a lyric line &by;</Note>";
    text += "</Notes></Zolva>";

    size_t failures = 0;
    for (size_t before = 0;; ++before) {
        XPxmlDoc tree;
        ASSERT_EQ(tree.loadText("<Earlier><Tree/></Earlier>"), 0);
        RecordingSink sink;
        std::vector<char> bytes(text.begin(), text.end());
        failingAllocations::failAfter(before);
        const int result = loadMusicData(tree, bytes, "song.zvm", sink);
        if (!failingAllocations::disarm()) {
            EXPECT_EQ(result, 0) << "every allocation of the load has failed once";
            break;
        }
        ++failures;
        EXPECT_EQ(result, kLoadOutOfMemory) << before;
        EXPECT_THAT(sink.messages, testing::ElementsAre("Out of memory loading song.zvm")) << before;
        EXPECT_EQ(tree.documentNode()->childCount(), 0u) << before;
        EXPECT_FALSE(tree.isLoading()) << before;
    }
    EXPECT_GT(failures, 50u);
}

TEST(LoadMusicData, LeavesAPlainBufferAsItWas)
{
    std::vector<char> bytes{'<', 'Z', '/', '>'};
    XPxmlDoc tree;
    RecordingSink sink;
    EXPECT_EQ(loadMusicData(tree, bytes, "memory", sink), 0);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "<Z/>");
    std::vector<char> empty;
    EXPECT_EQ(loadMusicData(tree, empty, "memory", sink), 0);
    EXPECT_EQ(tree.rootElement(), nullptr);
}

} // namespace
