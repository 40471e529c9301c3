#include "app/author_info_dlg.h"

#include "app/dialog_buttons.h"
#include "doc/eight_bit_text.h"
#include "doc/music_vocabulary.h"
#include "doc/zolva_doc.h"
#include "xml/xpxml_node.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include <cstring>

namespace {

struct FieldSpec {
    const char* attribute;
    const char* label;
};

constexpr FieldSpec kFieldSpecs[] = {
    {MusicAttr::Author, "&Author's Name"},
    {MusicAttr::Arranger, "A&rranger's Name"},
    {MusicAttr::Title, "&Title"},
    {MusicAttr::CopyRight, "&Copyright Notice"},
};

std::string attributeBytes(const XPxmlNode* element, const char* name)
{
    std::string value;
    element->getAttributeCopy(name, value);
    return value;
}

// A box shown in full colour, like the fields, that neither a click nor a
// key changes.
class ShownCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override {}
};

} // namespace

CAuthorInfoDlg::CAuthorInfoDlg(XPxmlNode* author, QWidget* parent)
    : QDialog(parent), m_author(author), m_readOnly(new ShownCheckBox(QStringLiteral("Read &Only"), this))
{
    setWindowTitle(QStringLiteral("Author Information"));
    auto* form = new QFormLayout;
    for (size_t i = 0; i < m_fields.size(); ++i) {
        auto* edit = new QLineEdit(this);
        m_fields[i] = {kFieldSpecs[i].attribute, edit, attributeBytes(author, kFieldSpecs[i].attribute)};
        edit->setText(textFromBytes(m_fields[i].bytes));
        edit->setCursorPosition(0);
        // The dialog shows the information: readable and selectable, never changed.
        edit->setReadOnly(true);
        edit->setMinimumWidth(280);
        form->addRow(QString::fromUtf8(kFieldSpecs[i].label), edit);
    }
    m_readOnly->setChecked(attributeBytes(author, MusicAttr::ReadOnly).starts_with('Y'));
    form->addRow(QString(), m_readOnly);

    QDialogButtonBox* buttons = okCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

QLineEdit* CAuthorInfoDlg::field(const char* attribute) const
{
    for (const TextField& field : m_fields) {
        if (attribute && std::strcmp(field.attribute, attribute) == 0)
            return field.edit;
    }
    return nullptr;
}

void CAuthorInfoDlg::accept()
{
    for (const TextField& field : m_fields) {
        // Shown text that was not changed keeps its bytes: decoding 8-bit text
        // and encoding it again as UTF-8 would alter the document.
        const bool unchanged = field.edit->text() == textFromBytes(field.bytes);
        m_author->setAttribute(field.attribute,
                               unchanged ? field.bytes.c_str() : field.edit->text().toUtf8().constData());
    }
    m_author->setAttribute(MusicAttr::ReadOnly, m_readOnly->isChecked() ? "Y" : "N");
    QDialog::accept();
}

void OnAuthorInfo(CZolvaDoc& doc, QWidget* parent)
{
    if (!doc.authorElement())
        return;
    CAuthorInfoDlg dialog(doc.authorElement(), parent);
    dialog.exec();
}
