#pragma once

#include <QDialog>

#include <array>
#include <string>

class CZolvaDoc;
class QCheckBox;
class QLineEdit;
class XPxmlNode;

// The "Author Information" dialog: author, arranger, title, copyright notice
// and the read-only mark of a document's author element, shown in controls
// that cannot be edited. OK writes the four texts and "Y" or "N" back, which
// creates absent attributes and flags the element modified only where a value
// changes; Cancel writes nothing.
class CAuthorInfoDlg : public QDialog {
    Q_OBJECT
public:
    // author must stay alive while the dialog is open.
    explicit CAuthorInfoDlg(XPxmlNode* author, QWidget* parent = nullptr);

    // The field showing attribute ("Author", "Arranger", "Title", "CopyRight");
    // null for any other name.
    QLineEdit* field(const char* attribute) const;
    QCheckBox* readOnlyBox() const { return m_readOnly; }

    void accept() override;

private:
    struct TextField {
        const char* attribute;
        QLineEdit* edit;
        std::string bytes; // as read, so unchanged text goes back byte for byte
    };

    XPxmlNode* m_author;
    std::array<TextField, 4> m_fields;
    QCheckBox* m_readOnly;
};

// The Author Info command (id 32824): runs the dialog on doc's author element.
inline constexpr int kAuthorInfoCommand = 32824;
void OnAuthorInfo(CZolvaDoc& doc, QWidget* parent);
