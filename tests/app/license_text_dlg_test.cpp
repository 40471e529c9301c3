// The licence viewer: what it shows of the file, how it fails, and that the
// user's clipboard is left alone.
#include "app/license_text_dlg.h"

#include "recording_sink.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kFailure = "Unable to open the license file!";

class LicenseText : public ::testing::Test {
protected:
    QString write(const QByteArray& bytes)
    {
        const QString path = folder.filePath(QStringLiteral("readerLicense.txt"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir folder;
    RecordingSink sink;
};

TEST_F(LicenseText, AZeroByteFileOpensAnEmptyReadOnlyViewer)
{
    CLicenseTextDlg dialog(write(QByteArray()), sink);
    EXPECT_EQ(dialog.windowTitle(), "Zolva Reader License");
    ASSERT_TRUE(dialog.loadText());
    EXPECT_TRUE(dialog.textBox()->toPlainText().isEmpty());
    EXPECT_TRUE(dialog.textBox()->isReadOnly());
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(LicenseText, TheTextEndsAtTheFirstZeroByte)
{
    CLicenseTextDlg dialog(write(QByteArray("MIT License\r\n\0hidden", 21)), sink);
    ASSERT_TRUE(dialog.loadText());
    EXPECT_EQ(dialog.textBox()->toPlainText(), "MIT License\n");
}

TEST_F(LicenseText, MissingOrUnreadableFilesCloseTheDialogWithTheMessage)
{
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("folder.txt")));
    const std::vector<QString> paths = {folder.filePath(QStringLiteral("missing.txt")),
                                        folder.filePath(QStringLiteral("folder.txt"))};
    for (const QString& path : paths) {
        sink.messages.clear();
        CLicenseTextDlg dialog(path, sink);
        EXPECT_EQ(dialog.exec(), QDialog::Rejected) << path.toStdString();
        EXPECT_EQ(sink.messages, std::vector<std::string>{kFailure}) << path.toStdString();
        EXPECT_TRUE(dialog.textBox()->toPlainText().isEmpty());
    }
}

TEST_F(LicenseText, ALongTextShowsFromItsStartAndLeavesTheClipboardAlone)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("the user's own text"));
    QByteArray text;
    for (int line = 1; line <= 300; ++line)
        text += "Line " + QByteArray::number(line) + " of the licence\n";
    CLicenseTextDlg dialog(write(text), sink);
    ASSERT_TRUE(dialog.loadText());
    dialog.show();
    QTextEdit* box = dialog.textBox();
    EXPECT_EQ(box->textCursor().position(), 0);
    EXPECT_EQ(box->verticalScrollBar()->value(), 0);
    EXPECT_GT(box->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "the user's own text");
}

} // namespace
