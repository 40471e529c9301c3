#include "app/message_box_sink.h"

#include "view/eight_bit_text.h"

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

bool MessageBoxSink::askYesNo(const std::string& text)
{
    QMessageBox box(QMessageBox::Warning, caption(), textFromBytes(text), QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    return box.exec() == QMessageBox::Yes;
}
