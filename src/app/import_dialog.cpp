#include "app/import_dialog.h"

#include "app/dialog_buttons.h"
#include "import/music_import.h"
#include "import/tine_fitting.h"
#include "play/instrument_names.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString text(const std::string& bytes) { return QString::fromUtf8(bytes.data(), qsizetype(bytes.size())); }

QString instrumentOf(const SourceVoice& voice)
{
    if (!voice.instrument.empty())
        return text(voice.instrument);
    if (voice.program >= 0 && voice.program < kInstrumentCount)
        return QString::fromLatin1(kInstrumentNames[size_t(voice.program)]);
    return {};
}

QStringList rowOf(const SourceVoice& voice)
{
    const auto [lowest, highest] = std::minmax_element(
        voice.notes.begin(), voice.notes.end(), [](const SourceNote& a, const SourceNote& b) { return a.pitch < b.pitch; });
    QString label = text(voice.label);
    label[0] = label[0].toUpper();
    return {label, text(voice.name), instrumentOf(voice), QString::number(voice.notes.size()),
            keyName(lowest->pitch) + QStringLiteral("\u2013") + keyName(highest->pitch)};
}

} // namespace

QString keyName(int key)
{
    static const char* const kNames[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    return QString::fromLatin1(kNames[key % 12]) + QString::number(key / 12 - 1);
}

ImportDialog::ImportDialog(const QString& fileName, const ImportedPiece& piece, const std::vector<TineChoice>& tines,
                           int tineChoice, ImportRhythm rhythm, QWidget* parent)
    : QDialog(parent), m_piece(piece), m_choices(tines), m_voices(new QTreeWidget(this)), m_tines(new QComboBox(this)),
      m_rhythm(new QComboBox(this))
{
    setWindowTitle(QStringLiteral("Import %1").arg(fileName));
    m_voices->setRootIsDecorated(false);
    m_voices->setHeaderLabels({QStringLiteral("Part"), QStringLiteral("Name"), QStringLiteral("Instrument"),
                               QStringLiteral("Notes"), QStringLiteral("Range")});
    for (const SourceVoice& voice : piece.voices)
        m_voices->addTopLevelItem(new QTreeWidgetItem(rowOf(voice)));
    m_voices->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    for (const TineChoice& choice : tines)
        m_tines->addItem(choice.label);
    m_tines->setCurrentIndex(std::clamp(tineChoice, 0, int(tines.size()) - 1));
    // In the order of ImportRhythm.
    m_rhythm->addItems({QStringLiteral("As played"), QStringLiteral("Simplified")});
    m_rhythm->setCurrentIndex(int(rhythm));
    m_rhythm->setToolTip(QStringLiteral("Simplified writes a played rhythm in the plainest values that keep "
                                        "every note within 30 ms of its time"));

    QDialogButtonBox* buttons = okCancelButtons(this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Open"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(m_voices, &QTreeWidget::itemActivated, this, &QDialog::accept);
    connect(m_tines, &QComboBox::currentIndexChanged, this, &ImportDialog::selectLikeliest);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Fit to:"), m_tines);
    form->addRow(QStringLiteral("Rhythm:"), m_rhythm);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Choose the part to read as tablature:"), this));
    layout->addWidget(m_voices);
    layout->addLayout(form);
    layout->addWidget(buttons);
    resize(560, 320);
    selectLikeliest();
    m_voices->setFocus();
}

int ImportDialog::voice() const
{
    return m_voices->indexOfTopLevelItem(m_voices->currentItem());
}

int ImportDialog::tineChoice() const
{
    return m_tines->currentIndex();
}

ImportRhythm ImportDialog::rhythm() const
{
    return m_rhythm->currentIndex() == int(ImportRhythm::Simplified) ? ImportRhythm::Simplified
                                                                      : ImportRhythm::AsPlayed;
}

void ImportDialog::selectLikeliest()
{
    const int choice = tineChoice();
    if (choice < 0 || size_t(choice) >= m_choices.size())
        return;
    const int likeliest = likeliestMelody(m_piece, parseTinePitches(m_choices[size_t(choice)].tines.noteValues));
    if (QTreeWidgetItem* item = m_voices->topLevelItem(likeliest))
        m_voices->setCurrentItem(item);
}
