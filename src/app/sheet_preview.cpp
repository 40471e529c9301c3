#include "app/sheet_preview.h"

#include "view/sheet_writer.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Enough to see the strips and the header at a glance, quick to draw.
constexpr int kPreviewDpi = 40;

} // namespace

SheetPreview::SheetPreview(CZolvaDoc& doc, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_image(new QLabel(this)), m_pageText(new QLabel(this)),
      m_previous(new QToolButton(this)), m_next(new QToolButton(this))
{
    m_image->setAlignment(Qt::AlignCenter);
    m_image->setFrameShape(QFrame::Box);
    m_pageText->setAlignment(Qt::AlignCenter);
    m_previous->setArrowType(Qt::LeftArrow);
    m_previous->setToolTip(QStringLiteral("Previous page"));
    m_next->setArrowType(Qt::RightArrow);
    m_next->setToolTip(QStringLiteral("Next page"));
    connect(m_previous, &QToolButton::clicked, this, [this] {
        m_page = std::max(0, m_page - 1);
        draw();
    });
    connect(m_next, &QToolButton::clicked, this, [this] {
        m_page = std::min(m_pageCount - 1, m_page + 1);
        draw();
    });
    auto* steps = new QHBoxLayout;
    steps->addWidget(m_previous);
    steps->addWidget(m_pageText, 1);
    steps->addWidget(m_next);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_image, 1);
    layout->addLayout(steps);
}

void SheetPreview::showSheet(const SheetPageSetup& setup)
{
    m_setup = setup;
    m_setup.dpi = kPreviewDpi;
    draw();
}

void SheetPreview::draw()
{
    SheetLayout sheet(m_doc, m_setup);
    m_pageCount = int(sheet.pages().size());
    m_page = std::clamp(m_page, 0, std::max(0, m_pageCount - 1));
    m_picture = sheetPageImage(sheet, m_page);
    m_image->setPixmap(QPixmap::fromImage(m_picture));
    m_pageText->setText(sheet.footer(m_page));
    m_previous->setEnabled(m_page > 0);
    m_next->setEnabled(m_page + 1 < m_pageCount);
}
