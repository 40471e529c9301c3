#pragma once

#include "view/sheet_layout.h"
#include "view/sheet_writer.h"

#include <QDialog>

class CZolvaDoc;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QSpinBox;
class QTimer;
class SheetPreview;
class QWidget;

// "Export Sheet": the format, the paper, its orientation and margins, how
// many strips stand side by side on a page, the header, and for PNG the
// resolution. The defaults come from the locale and the file's print options;
// a preview beside them shows a page as the choices make it.
class CExportSheetDlg : public QDialog {
    Q_OBJECT
public:
    CExportSheetDlg(CZolvaDoc& doc, QWidget* parent = nullptr);

    SheetFormat format() const;
    SheetPageSetup setup() const;
    SheetPreview* preview() const { return m_preview; }
    // Draws the preview now (it follows every change a moment later).
    void refreshPreview();

private:
    QComboBox* m_format;
    QComboBox* m_paper;
    QComboBox* m_orientation;
    QDoubleSpinBox* m_margin;
    QSpinBox* m_columns;
    QCheckBox* m_header;
    QComboBox* m_dpi;
    SheetPreview* m_preview;
    QTimer* m_previewDelay;
};

// The command: the dialog, then where to save, then the writing, its pages
// drawn in wait; messages and the question before replacing a file go to
// the program's message boxes.
void OnExportSheet(CZolvaDoc& doc, QWidget* parent, const BackgroundLoad& wait);
