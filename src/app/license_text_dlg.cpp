#include "app/license_text_dlg.h"

#include "app/program_files.h"
#include "doc/message_sink.h"
#include "doc/eight_bit_text.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QScrollBar>
#include <QTextEdit>
#include <QVBoxLayout>

#include <optional>

namespace {

std::optional<QByteArray> readWholeFile(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

} // namespace

CLicenseTextDlg::CLicenseTextDlg(QString path, MessageSink& messages, QWidget* parent)
    : QDialog(parent), m_path(std::move(path)), m_messages(messages), m_text(new QTextEdit(this))
{
    setWindowTitle(QStringLiteral("Zolva Reader License"));
    m_text->setAcceptRichText(false);
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QTextEdit::WidgetWidth);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(buttons);
    resize(640, 480); // room for the 80-column lines licence texts keep
}

bool CLicenseTextDlg::loadText()
{
    const std::optional<QByteArray> bytes = readWholeFile(m_path);
    if (!bytes) {
        m_messages.showMessage("Unable to open the license file!");
        return false;
    }
    const qsizetype zero = bytes->indexOf('\0');
    const QByteArray text = zero < 0 ? *bytes : bytes->left(zero);
    m_text->setPlainText(textFromBytes(std::string_view(text.constData(), size_t(text.size()))));
    m_text->moveCursor(QTextCursor::Start);
    m_text->verticalScrollBar()->setValue(0);
    return true;
}

int CLicenseTextDlg::exec()
{
    if (!loadText())
        return QDialog::Rejected;
    return QDialog::exec();
}

void OnLicense(MessageSink& messages, QWidget* parent)
{
    CLicenseTextDlg dialog(licenseFilePath(), messages, parent);
    dialog.exec();
}
