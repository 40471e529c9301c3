#pragma once

#include <QDialog>
#include <QString>

class MessageSink;
class QTextEdit;

// The "Zolva Reader License" viewer: the licence text file in a read-only
// text box, caret and scroll position at its start. The text goes straight
// into the box; the user's clipboard is left alone.
class CLicenseTextDlg : public QDialog {
    Q_OBJECT
public:
    CLicenseTextDlg(QString path, MessageSink& messages, QWidget* parent = nullptr);

    // Reads the file into the box: its bytes up to the first zero byte. A file
    // that is missing or cannot be read gives "Unable to open the license
    // file!" and false.
    bool loadText();
    // Loads the text and shows the dialog; Rejected at once when loading fails.
    int exec() override;

    QTextEdit* textBox() const { return m_text; }

private:
    QString m_path;
    MessageSink& m_messages;
    QTextEdit* m_text;
};

// The License command (id 32823): the viewer on readerLicense.txt beside the program.
inline constexpr int kLicenseCommand = 32823;
void OnLicense(MessageSink& messages, QWidget* parent);
