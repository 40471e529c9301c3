// The About box: the version line with its build marker, the ten rows, and
// which clicks open an address.
#include "app/about_dlg.h"

#include "app/display_version.h"
#include "url_recorder.h"

#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace {

struct VersionCase {
    const char* productVersion;
    const char* line;
};

class VersionLine : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionLine, OnlyTheFirstCharacterOfTheLastComponentMarksTheBuild)
{
    EXPECT_EQ(aboutVersionLine(displayVersionFrom(GetParam().productVersion)), GetParam().line)
        << GetParam().productVersion;
}

INSTANTIATE_TEST_SUITE_P(
    AboutDlg, VersionLine,
    ::testing::Values(VersionCase{"1, 0, 14, 2", "Zolva Reader Version 1.0.14"},
                      VersionCase{"1, 0, 14, 10", "Zolva Reader Version 1.0.14 (Beta)"},
                      VersionCase{"1, 0, 14, 05", "Zolva Reader Version 1.0.14 (Alpha)"},
                      VersionCase{"1, 0, 14, 1", "Zolva Reader Version 1.0.14 (Beta)"},
                      VersionCase{"2,1,0,0", "Zolva Reader Version 2.1.0 (Alpha)"},
                      VersionCase{"1, 0, 14,  0", "Zolva Reader Version 1.0.14 (Alpha)"},
                      VersionCase{"1, 0, 14, ", "Zolva Reader Version 1.0.14"},
                      VersionCase{"", "Zolva Reader Version "}),
    [](const ::testing::TestParamInfo<VersionCase>& info) { return "Case" + std::to_string(info.index); });

TEST(AboutDlg, TheProgramShowsItsOwnReleaseVersion)
{
    EXPECT_EQ(aboutVersionLine(programDisplayVersion()), "Zolva Reader Version 1.0.14");
}

const QUrl kManual = QUrl::fromLocalFile(QStringLiteral("/opt/zolva/docs/index.html"));

TEST(AboutDlg, TenRowsWithTheVersionFirstAndTheTwoAddresses)
{
    UrlRecorder urls;
    CAboutDlg dialog(displayVersionFrom("1, 0, 14, 10"), kManual, urls.opener());
    EXPECT_EQ(dialog.windowTitle(), "Zolva Reader");
    QListWidget* list = dialog.list();
    ASSERT_EQ(list->count(), 10);
    EXPECT_EQ(list->item(0)->text(), "Zolva Reader Version 1.0.14 (Beta)");
    EXPECT_EQ(list->item(5)->text(), kManual.toString());
    EXPECT_EQ(list->item(9)->text(), CAboutDlg::relatedAddress().toString());
    EXPECT_NE(CAboutDlg::relatedAddress(), kManual);
}

// Clicks on the shown dialog, as a user makes them.
class AboutClicks : public ::testing::Test {
protected:
    AboutClicks() : dialog(displayVersionFrom("1, 0, 14, 2"), kManual, urls.opener()) { dialog.show(); }

    QPoint rowCentre(int row)
    {
        QListWidget* list = dialog.list();
        list->scrollToItem(list->item(row));
        return list->visualItemRect(list->item(row)).center();
    }
    void click(int row) { QTest::mouseClick(dialog.list()->viewport(), Qt::LeftButton, {}, rowCentre(row)); }
    // What widgets receive from a real double click: a click, then a press,
    // the double-click event and a release.
    void doubleClick(int row)
    {
        QWidget* viewport = dialog.list()->viewport();
        const QPoint at = rowCentre(row);
        QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
        QTest::mousePress(viewport, Qt::LeftButton, {}, at);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
    }

    UrlRecorder urls;
    CAboutDlg dialog;
};

TEST_F(AboutClicks, RowsOtherThanTheTwoAddressesOpenNothing)
{
    for (int row = 0; row < 10; ++row) {
        if (row == CAboutDlg::kMakerRow || row == CAboutDlg::kRelatedRow)
            continue;
        click(row);
        doubleClick(row);
        EXPECT_TRUE(urls.requests.isEmpty()) << "row " << row;
    }
}

TEST_F(AboutClicks, EachAddressRowOpensItsOwnAddress)
{
    click(CAboutDlg::kMakerRow);
    click(CAboutDlg::kRelatedRow);
    click(CAboutDlg::kMakerRow);
    EXPECT_EQ(urls.requests, (QList<QUrl>{kManual, CAboutDlg::relatedAddress(), kManual}));
}

TEST_F(AboutClicks, ADoubleClickOpensItsAddressOnce)
{
    doubleClick(CAboutDlg::kRelatedRow);
    EXPECT_EQ(urls.requests, QList<QUrl>{CAboutDlg::relatedAddress()});
    urls.requests.clear();
    // A double click without a click before it (say, from an assistive tool) opens too.
    emit dialog.list()->itemDoubleClicked(dialog.list()->item(CAboutDlg::kMakerRow));
    EXPECT_EQ(urls.requests, QList<QUrl>{kManual});
}

} // namespace
