// Export Sheet: the dialog's defaults from the file, and the choices it hands
// to the writer.
#include "app/export_sheet_dlg.h"

#include "doc/zolva_doc.h"
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
        const std::string text = "<Zolva Version=\"1.0.14\"><Config><PrintNotes " + printAttributes +
                                 "/></Config><Notes/></Zolva>";
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

} // namespace
