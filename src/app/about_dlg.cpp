#include "app/about_dlg.h"

#include "app/about_picture.h"
#include "app/display_version.h"
#include "app/program_files.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace {

void addLinkRow(QListWidget* list, const QUrl& address)
{
    auto* item = new QListWidgetItem(address.toString(), list);
    QFont font = item->font();
    font.setUnderline(true);
    item->setFont(font);
    item->setForeground(list->palette().link());
    item->setToolTip(address.toString());
}

} // namespace

CAboutDlg::CAboutDlg(const DisplayVersion& version, const QUrl& makerAddress, UrlOpener opener, QWidget* parent)
    : QDialog(parent), m_list(new QListWidget(this)), m_opener(std::move(opener)), m_makerAddress(makerAddress)
{
    setWindowTitle(QStringLiteral("Zolva Reader"));

    m_list->setViewMode(QListView::ListMode);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->addItems({
        QString::fromStdString(aboutVersionLine(version)),
        QStringLiteral("Copyright (C) 2026 the Zolva Reader developers"),
        QStringLiteral("Written by the Zolva Reader developers"),
        QStringLiteral("Free software under the MIT License: see Help > License"),
        QString(),
    });
    addLinkRow(m_list, m_makerAddress);
    m_list->addItems({
        QString(),
        QStringLiteral("Inspired by the kalimba tablature"),
        QStringLiteral("drawn by kalimba players everywhere: tines as lanes, time running up"),
    });
    addLinkRow(m_list, relatedAddress());
    m_list->setMinimumSize(460, 200);
    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        m_lastClickedRow = m_list->row(item);
        openRowAddress(m_lastClickedRow);
    });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        const int row = m_list->row(item);
        if (row != m_lastClickedRow)
            openRowAddress(row);
        m_lastClickedRow = -1;
    });

    auto* picture = new QLabel(this);
    picture->setPixmap(kalimbaPicture());
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(picture);
    row->addWidget(m_list, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

QUrl CAboutDlg::relatedAddress()
{
    return QUrl(QStringLiteral("https://en.wikipedia.org/wiki/Kalimba"));
}

void CAboutDlg::openRowAddress(int row)
{
    if (row == kMakerRow)
        m_opener(m_makerAddress);
    else if (row == kRelatedRow)
        m_opener(relatedAddress());
}

void OnAppAbout(const UrlOpener& opener, QWidget* parent)
{
    CAboutDlg dialog(programDisplayVersion(), manualStartPage(), opener, parent);
    dialog.exec();
}
