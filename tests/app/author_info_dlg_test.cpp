// Author Information: what the dialog shows, and what OK and Cancel write back
// to the document's author element.
#include "app/author_info_dlg.h"

#include "doc/zolva_doc.h"
#include "recording_sink.h"
#include "xml/xpxml.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace {

// A loaded, unmodified document whose author element carries attributes.
struct AuthorDoc {
    explicit AuthorDoc(const std::string& attributes) : doc(sink)
    {
        const std::string text =
            "<Zolva Version=\"1.0.14\"><Config><Author " + attributes + "/></Config><Notes/></Zolva>";
        EXPECT_EQ(doc.tree().loadText(text.c_str()), 0);
        EXPECT_TRUE(doc.completeDocument());
        doc.tree().clearModified();
    }
    // The attribute's value, or "<absent>".
    std::string attribute(const char* name) const
    {
        const char* value = doc.authorElement()->getAttribute(name);
        return value ? value : "<absent>";
    }
    RecordingSink sink;
    CZolvaDoc doc;
};

const char kComplete[] = R"(Author="Ann" Arranger="Bo" Title="Song" CopyRight="(c) us" ReadOnly="N")";

TEST(AuthorInfoDlg, ShowsTheFourTextsInControlsThatCannotBeEdited)
{
    AuthorDoc a(kComplete);
    CAuthorInfoDlg dialog(a.doc.authorElement());
    EXPECT_EQ(dialog.windowTitle(), "Author Information");
    const std::pair<const char*, const char*> shown[] = {
        {"Author", "Ann"}, {"Arranger", "Bo"}, {"Title", "Song"}, {"CopyRight", "(c) us"}};
    for (const auto& [attribute, text] : shown) {
        ASSERT_NE(dialog.field(attribute), nullptr) << attribute;
        EXPECT_EQ(dialog.field(attribute)->text(), text) << attribute;
        EXPECT_TRUE(dialog.field(attribute)->isEnabled()) << attribute << ": readable, selectable";
        EXPECT_TRUE(dialog.field(attribute)->isReadOnly()) << attribute;
    }
    QCheckBox* box = dialog.readOnlyBox();
    EXPECT_TRUE(box->isEnabled());
    const bool checked = box->isChecked();
    dialog.show();
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::keyClick(box, Qt::Key_Space);
    EXPECT_EQ(box->isChecked(), checked) << "neither a click nor a key changes it";
    EXPECT_EQ(dialog.readOnlyBox()->text(), "Read &Only");

    QStringList labels;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        labels << label->text();
    for (const char* label : {"&Author's Name", "A&rranger's Name", "&Title", "&Copyright Notice"})
        EXPECT_TRUE(labels.contains(QString::fromUtf8(label))) << label;
}

struct ReadOnlyCase {
    const char* attributes; // of the author element besides the four texts
    bool checked;
    const char* written;
    bool modifiedByOk;
};

class ReadOnlyMark : public ::testing::TestWithParam<ReadOnlyCase> {};

TEST_P(ReadOnlyMark, CheckedOnlyForALeadingCapitalYAndWrittenBackAsYOrN)
{
    const ReadOnlyCase& c = GetParam();
    AuthorDoc a(std::string(R"(Author="" Arranger="" Title="" CopyRight="" )") + c.attributes);
    CAuthorInfoDlg dialog(a.doc.authorElement());
    EXPECT_EQ(dialog.readOnlyBox()->isChecked(), c.checked) << c.attributes;
    dialog.accept();
    EXPECT_EQ(a.attribute("ReadOnly"), c.written) << c.attributes;
    EXPECT_EQ(a.doc.isModified(), c.modifiedByOk) << c.attributes;
}

INSTANTIATE_TEST_SUITE_P(AuthorInfoDlg, ReadOnlyMark,
                         ::testing::Values(ReadOnlyCase{R"(ReadOnly="y")", false, "N", true},
                                           ReadOnlyCase{R"(ReadOnly="Y")", true, "Y", false},
                                           ReadOnlyCase{R"(ReadOnly="Yes")", true, "Y", true},
                                           ReadOnlyCase{R"(ReadOnly=" Y")", false, "N", true},
                                           ReadOnlyCase{R"(ReadOnly="N")", false, "N", false},
                                           ReadOnlyCase{R"(ReadOnly="")", false, "N", true},
                                           ReadOnlyCase{"", false, "N", true}),
                         [](const ::testing::TestParamInfo<ReadOnlyCase>& info) {
                             return "Case" + std::to_string(info.index);
                         });

TEST(AuthorInfoDlg, OkAddsAbsentTextsAsEmpty)
{
    AuthorDoc a(R"(Author="Ann" ReadOnly="N")");
    CAuthorInfoDlg dialog(a.doc.authorElement());
    EXPECT_EQ(dialog.field("Arranger")->text(), "");
    dialog.accept();
    EXPECT_EQ(a.attribute("Arranger"), "");
    EXPECT_EQ(a.attribute("Title"), "");
    EXPECT_EQ(a.attribute("CopyRight"), "");
    EXPECT_EQ(a.attribute("Author"), "Ann");
    EXPECT_TRUE(a.doc.isModified());
}

TEST(AuthorInfoDlg, OkOnACompleteElementLeavesTheDocumentUnmodified)
{
    AuthorDoc a(kComplete);
    CAuthorInfoDlg dialog(a.doc.authorElement());
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(a.doc.isModified());
}

TEST(AuthorInfoDlg, CancelWritesNothing)
{
    AuthorDoc a(R"(Author="Ann" ReadOnly="y")");
    CAuthorInfoDlg dialog(a.doc.authorElement());
    dialog.reject();
    EXPECT_EQ(a.attribute("Arranger"), "<absent>");
    EXPECT_EQ(a.attribute("ReadOnly"), "y");
    EXPECT_FALSE(a.doc.isModified());
}

TEST(AuthorInfoDlg, EightBitTextIsShownAndKeptByteForByte)
{
    // Windows-1252: 0xA9 is the copyright sign, 0x93/0x94 curly quotes.
    AuthorDoc a("Author=\"Zo\xEB\" CopyRight=\"\xA9 \x93us\x94\" Arranger=\"\" Title=\"\" ReadOnly=\"N\"");
    CAuthorInfoDlg dialog(a.doc.authorElement());
    EXPECT_EQ(dialog.field("CopyRight")->text(), QString::fromUtf8("\u00A9 \u201Cus\u201D"));
    EXPECT_EQ(dialog.field("Author")->text(), QString::fromUtf8("Zo\u00EB"));
    dialog.accept();
    EXPECT_EQ(a.attribute("CopyRight"), "\xA9 \x93us\x94");
    EXPECT_EQ(a.attribute("Author"), "Zo\xEB");
    EXPECT_FALSE(a.doc.isModified());
}

TEST(AuthorInfoDlg, AChangedFieldIsWrittenAsUtf8)
{
    AuthorDoc a(kComplete);
    CAuthorInfoDlg dialog(a.doc.authorElement());
    dialog.field("Title")->setText(QString::fromUtf8("Zo\u00EB's song"));
    dialog.accept();
    EXPECT_EQ(a.attribute("Title"), "Zo\xC3\xAB's song");
    EXPECT_TRUE(a.doc.isModified());
}

} // namespace
