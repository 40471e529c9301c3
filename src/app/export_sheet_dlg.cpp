#include "app/export_sheet_dlg.h"

#include "app/dialog_buttons.h"
#include "app/message_box_sink.h"
#include "app/sheet_preview.h"
#include "doc/zolva_doc.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kDpis[] = {150, 300, 600};
constexpr QSize kPreviewSize(340, 460);
constexpr int kPreviewDelayMs = 150;

} // namespace

CExportSheetDlg::CExportSheetDlg(CZolvaDoc& doc, QWidget* parent)
    : QDialog(parent), m_format(new QComboBox(this)), m_paper(new QComboBox(this)),
      m_orientation(new QComboBox(this)), m_margin(new QDoubleSpinBox(this)), m_columns(new QSpinBox(this)),
      m_header(new QCheckBox(QStringLiteral("&Title, author, tuning and tempo on the first page"), this)),
      m_dpi(new QComboBox(this)), m_preview(new SheetPreview(doc, this)), m_previewDelay(new QTimer(this))
{
    setWindowTitle(QStringLiteral("Export Sheet"));
    const std::pair<QWidget*, const char*> names[] = {{m_format, "format"},   {m_paper, "paper"},
                                                      {m_orientation, "orientation"}, {m_margin, "margins"},
                                                      {m_columns, "columns"}, {m_header, "header"},
                                                      {m_dpi, "resolution"}};
    for (const auto& [widget, name] : names)
        widget->setObjectName(QLatin1String(name));
    m_format->addItem(QStringLiteral("PDF document"), int(SheetFormat::Pdf));
    m_format->addItem(QStringLiteral("PNG images, one per page"), int(SheetFormat::Png));
    m_paper->addItem(QStringLiteral("A4"), int(QPageSize::A4));
    m_paper->addItem(QStringLiteral("Letter"), int(QPageSize::Letter));
    m_paper->setCurrentIndex(m_paper->findData(int(defaultPaper(QLocale()).id())));
    m_orientation->addItem(QStringLiteral("Portrait"), int(QPageLayout::Portrait));
    m_orientation->addItem(QStringLiteral("Landscape"), int(QPageLayout::Landscape));
    m_margin->setRange(0, 50);
    m_margin->setSuffix(QStringLiteral(" mm"));
    m_margin->setValue(SheetPageSetup().marginsMm.left());
    m_columns->setRange(1, 8);
    m_columns->setValue(SheetPageSetup().columns);
    m_header->setChecked(defaultHeader(doc));
    for (int dpi : kDpis)
        m_dpi->addItem(QStringLiteral("%1 dpi").arg(dpi), dpi);
    m_dpi->setCurrentIndex(1);
    m_dpi->setEnabled(false);
    connect(m_format, &QComboBox::currentIndexChanged, this,
            [this] { m_dpi->setEnabled(format() == SheetFormat::Png); });

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Format:"), m_format);
    form->addRow(QStringLiteral("&Resolution:"), m_dpi);
    form->addRow(QStringLiteral("&Paper:"), m_paper);
    form->addRow(QStringLiteral("&Orientation:"), m_orientation);
    form->addRow(QStringLiteral("&Margins:"), m_margin);
    form->addRow(QStringLiteral("&Strips per page:"), m_columns);
    form->addRow(QString(), m_header);
    QDialogButtonBox* buttons = okCancelButtons(this);
    auto* choices = new QVBoxLayout;
    choices->addLayout(form);
    choices->addStretch(1);
    choices->addWidget(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(choices);
    m_preview->setMinimumSize(kPreviewSize);
    layout->addWidget(m_preview, 1);

    // Typing a margin or stepping the strips redraws once it pauses.
    m_previewDelay->setSingleShot(true);
    m_previewDelay->setInterval(kPreviewDelayMs);
    connect(m_previewDelay, &QTimer::timeout, this, &CExportSheetDlg::refreshPreview);
    const auto later = [this] { m_previewDelay->start(); };
    for (QComboBox* box : {m_paper, m_orientation})
        connect(box, &QComboBox::currentIndexChanged, this, later);
    connect(m_margin, &QDoubleSpinBox::valueChanged, this, later);
    connect(m_columns, &QSpinBox::valueChanged, this, later);
    connect(m_header, &QCheckBox::toggled, this, later);
    refreshPreview();
}

void CExportSheetDlg::refreshPreview()
{
    m_previewDelay->stop();
    m_preview->showSheet(setup());
}

SheetFormat CExportSheetDlg::format() const
{
    return SheetFormat(m_format->currentData().toInt());
}

SheetPageSetup CExportSheetDlg::setup() const
{
    SheetPageSetup s;
    s.paper = QPageSize(QPageSize::PageSizeId(m_paper->currentData().toInt()));
    s.orientation = QPageLayout::Orientation(m_orientation->currentData().toInt());
    const double margin = m_margin->value();
    s.marginsMm = QMarginsF(margin, margin, margin, margin);
    s.columns = m_columns->value();
    s.header = m_header->isChecked();
    s.dpi = m_dpi->currentData().toInt();
    return s;
}

void OnExportSheet(CZolvaDoc& doc, QWidget* parent, const BackgroundLoad& wait)
{
    CExportSheetDlg dialog(doc, parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const bool pdf = dialog.format() == SheetFormat::Pdf;
    const QFileInfo source(doc.pathName());
    const QString suggested =
        source.dir().filePath(source.completeBaseName() + (pdf ? QStringLiteral(".pdf") : QStringLiteral(".png")));
    QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("Export Sheet"), suggested,
                                                pdf ? QStringLiteral("PDF documents (*.pdf)")
                                                    : QStringLiteral("PNG images (*.png)"),
                                                nullptr, QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty())
        return;
    const QString suffix = pdf ? QStringLiteral(".pdf") : QStringLiteral(".png");
    if (!path.endsWith(suffix, Qt::CaseInsensitive))
        path += suffix;
    // The writer asks before replacing, once for all the pages.
    MessageBoxSink sink;
    writeSheet(doc, dialog.setup(), dialog.format(), path, sink, wait);
}
