#pragma once

#include "view/sheet_layout.h"
#include "view/sheet_writer.h"

#include <QDialog>

class CZolvaDoc;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QSpinBox;
class QWidget;

// "Export Sheet": the format, the paper, its orientation and margins, how
// many strips stand side by side on a page, the header, and for PNG the
// resolution. The defaults come from the locale and the file's print options.
class CExportSheetDlg : public QDialog {
    Q_OBJECT
public:
    CExportSheetDlg(const CZolvaDoc& doc, QWidget* parent = nullptr);

    SheetFormat format() const;
    SheetPageSetup setup() const;

private:
    QComboBox* m_format;
    QComboBox* m_paper;
    QComboBox* m_orientation;
    QDoubleSpinBox* m_margin;
    QSpinBox* m_columns;
    QCheckBox* m_header;
    QComboBox* m_dpi;
};

// The command: the dialog, then where to save, then the writing; messages
// and the question before replacing a file go to the program's message boxes.
void OnExportSheet(CZolvaDoc& doc, QWidget* parent);
