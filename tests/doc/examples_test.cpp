// The music files shipped in examples/ open as a user would open them.
#include "doc/zolva_doc.h"

#include "recording_sink.h"
#include "tree_description.h"
#include "xml/xpxml.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

const std::filesystem::path kExamples = std::filesystem::path(ZOLVA_SOURCE_DIR) / "examples";

TEST(Examples, EveryExampleOpens)
{
    int opened = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kExamples)) {
        if (entry.path().extension() != ".zvm")
            continue;
        const std::string name = entry.path().filename().string();
        RecordingSink sink(true);
        CZolvaDoc doc(sink);
        ASSERT_EQ(doc.openDocument(QString::fromStdString(entry.path().string())), OpenOutcome::Opened) << name;
        EXPECT_TRUE(sink.messages.empty()) << name;
        // Only the file from before bar elements asks to be upgraded.
        EXPECT_EQ(sink.questions.size(), name.find("_old") != std::string::npos ? 1u : 0u) << name;
        EXPECT_EQ(doc.tineCount(), 17) << name;
        // Every third tine from the middle, in a shade that shows on the lane grey.
        EXPECT_EQ(doc.shadeText(), "00100100100100100") << name;
        EXPECT_STREQ(doc.tineSettings()->getAttribute("ShadeColor"), "14599344") << name;
        EXPECT_STREQ(doc.firstEvent()->name(), "Bar") << name;
        ++opened;
    }
    EXPECT_GE(opened, 3);
}

TEST(Examples, OldExampleIsUpgradedToBars)
{
    RecordingSink sink(true);
    CZolvaDoc doc(sink);
    ASSERT_EQ(doc.openDocument(QString::fromStdString((kExamples / "au_clair_de_la_lune_old.zvm").string())),
              OpenOutcome::Opened);
    std::string bars;
    for (XPxmlNode* e = doc.firstEvent(); e; e = e->nextElementSibling())
        if (std::string(e->name()) == "Bar")
            bars += describeElement(e) + "\n";
    EXPECT_EQ(bars, "Bar(Type=Auto Timing=M4/4 Tempo=90)\n"
                    "Bar(Type=Manual Timing=A4/4)\n"
                    "Bar(Type=Manual Timing=A4/4)\n"
                    "Bar(Type=Manual Timing=A4/4)\n");
    EXPECT_EQ(doc.tailsStyle(), 1); // "New" read as "Modern"
}

} // namespace
