#include "app/message_box_sink.h"

#include "doc/eight_bit_text.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QString caption()
{
    return QStringLiteral("Zolva Reader");
}

} // namespace

void MessageBoxSink::showMessage(const std::string& text)
{
    QMessageBox::warning(QApplication::activeWindow(), caption(), textFromBytes(text));
}

bool MessageBoxSink::askYesNo(const std::string& text, const std::string& fileName)
{
    const QString title = fileName.empty() ? caption() : caption() + QStringLiteral(" - ") + textFromBytes(fileName);
    QMessageBox box(QMessageBox::Warning, title, textFromBytes(text), QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    return box.exec() == QMessageBox::Yes;
}
