// The MIDI and MusicXML pieces in examples/ import as a player opens them.
#include "import_fixture.h"

#include "doc/music_vocabulary.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

std::vector<char> exampleBytes(const char* name)
{
    std::ifstream file(std::string(ZOLVA_SOURCE_DIR) + "/examples/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(ExampleImports, EachOpensWithItsCreditsAndNothingLeftOut)
{
    const struct {
        const char* file;
        const char* title;
        const char* status;
        size_t voices;
        const char* opening; // the first bars
    } rows[] = {
        {"twinkle_twinkle.mid", "Twinkle, Twinkle, Little Star", "Imported 42 notes from track 2", 2,
         "|M4/4 T100 4[9] 4[9] 4[11] 4[11] | 4[6] 4[6] 2[11] |"},
        {"auld_lang_syne.musicxml", "Auld Lang Syne", "Imported 56 notes from part 1", 1,
         "|M4/4 T84 4[9] 'Should' | manual 4.[7] 'auld' 8[7] 'ac-' 4[7] 'quain-' 4[6] 'tance' |"},
    };
    for (const auto& row : rows) {
        const Imported imported = importBytes(exampleBytes(row.file), {}, row.file);
        ASSERT_TRUE(imported.ok) << row.file;
        EXPECT_EQ(imported.config(MusicElement::Author, MusicAttr::Title), row.title);
        EXPECT_EQ(importStatusText(imported.outcome), row.status);
        EXPECT_EQ(imported.piece.voices.size(), row.voices) << row.file;
        EXPECT_EQ(imported.music().substr(0, std::string(row.opening).size()), row.opening) << row.file;
    }
}

} // namespace
