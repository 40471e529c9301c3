// Export Sheet: the dialog's defaults from the file, the choices it hands to
// the writer, and the preview that follows them.
#include "app/export_sheet_dlg.h"

#include "doc/zolva_doc.h"
#include "app/sheet_preview.h"
#include "recording_sink.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <string>

namespace {

struct PrintDoc {
    explicit PrintDoc(const std::string& printAttributes) : doc(sink)
    {
        std::string music;
        for (int i = 0; i < 40; ++i)
            music += "<Bar Timing=\"A4/4\"/><Note Value=\"4\" Tines=\"1\"/><Note Value=\"4\" Tines=\"2\"/>";
        const std::string text = "<Zolva Version=\"1.0.14\"><Config><Tines Number=\"5\"/><PrintNotes " +
                                 printAttributes + "/></Config><Notes>" + music + "<Bar/></Notes></Zolva>";
        EXPECT_EQ(doc.tree().loadText(text.c_str()), 0);
        EXPECT_TRUE(doc.completeDocument());
    }
    RecordingSink sink;
    CZolvaDoc doc;
};

template <typename T>
T* child(const QDialog& dialog, const char* name)
{
    T* widget = dialog.findChild<T*>(QLatin1String(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

TEST(ExportSheetDlg, HeaderFollowsThePrintOptions)
{
    const std::pair<const char*, bool> rows[] = {{"", true}, {"PrintHeaders=\"Y\"", true}, {"PrintHeaders=\"N\"", false}};
    for (const auto& [attributes, header] : rows) {
        PrintDoc p(attributes);
        CExportSheetDlg dialog(p.doc);
        EXPECT_EQ(dialog.setup().header, header) << attributes;
        EXPECT_EQ(dialog.format(), SheetFormat::Pdf);
    }
}

TEST(ExportSheetDlg, ChoicesReachTheSetup)
{
    PrintDoc p("");
    CExportSheetDlg dialog(p.doc);
    auto* resolution = child<QComboBox>(dialog, "resolution");
    EXPECT_FALSE(resolution->isEnabled()); // a PDF has no pixels to choose
    child<QComboBox>(dialog, "format")->setCurrentIndex(1);
    EXPECT_TRUE(resolution->isEnabled());
    resolution->setCurrentIndex(2);
    child<QComboBox>(dialog, "paper")->setCurrentIndex(1);
    child<QComboBox>(dialog, "orientation")->setCurrentIndex(1);
    child<QDoubleSpinBox>(dialog, "margins")->setValue(20);
    child<QSpinBox>(dialog, "columns")->setValue(2);

    EXPECT_EQ(dialog.format(), SheetFormat::Png);
    const SheetPageSetup s = dialog.setup();
    EXPECT_EQ(s.dpi, 600);
    EXPECT_EQ(s.paper.id(), QPageSize::Letter);
    EXPECT_EQ(s.orientation, QPageLayout::Landscape);
    EXPECT_EQ(s.marginsMm, QMarginsF(20, 20, 20, 20));
    EXPECT_EQ(s.columns, 2);
}

TEST(ExportSheetDlg, PreviewFollowsTheChoices)
{
    PrintDoc p("");
    CExportSheetDlg dialog(p.doc);
    const SheetPreview& preview = *dialog.preview();
    ASSERT_FALSE(preview.picture().isNull());
    EXPECT_GT(preview.picture().height(), preview.picture().width());
    const int onePerPage = [&] {
        child<QSpinBox>(dialog, "columns")->setValue(1);
        dialog.refreshPreview();
        return preview.pageCount();
    }();
    child<QSpinBox>(dialog, "columns")->setValue(6);
    child<QComboBox>(dialog, "orientation")->setCurrentIndex(1);
    dialog.refreshPreview();
    EXPECT_LT(preview.pageCount(), onePerPage);
    EXPECT_GT(preview.picture().width(), preview.picture().height());
}

} // namespace
