#include "app/music_importer.h"

#include "doc/settings_store.h"
#include "doc/deferred_messages.h"
#include "doc/music_loader.h"
#include "doc/music_vocabulary.h"
#include "doc/zolva_doc.h"
#include "import/music_import.h"
#include "import/tine_fitting.h"
#include "xml/xpxml_node.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {


std::string attributeText(const XPxmlNode* element, const char* name)
{
    const char* value = xpxmlAttributeOf(element, name);
    return value ? value : "";
}

// The 17-tine kalimba in C, the tines used last when they differ from
// every other choice, then those of each open document.
std::vector<TineChoice> tineChoices(const std::string& remembered, const std::vector<const CZolvaDoc*>& open)
{
    std::vector<TineChoice> choices = {{QStringLiteral("17-tine kalimba in C"), defaultKalimba()}};
    const auto offered = [&choices](const std::string& noteValues) {
        for (const TineChoice& choice : choices)
            if (choice.tines.noteValues == noteValues)
                return true;
        return false;
    };
    std::vector<TineChoice> ofDocuments;
    for (const CZolvaDoc* doc : open) {
        const XPxmlNode* tines = doc->tineSettings();
        const std::string noteValues = attributeText(tines, MusicAttr::NoteValues);
        if (!noteValues.empty())
            ofDocuments.push_back({QStringLiteral("Tines of %1").arg(doc->title()),
                                   {noteValues, attributeText(tines, MusicAttr::Shade)}});
    }
    bool rememberedFromDocument = false;
    for (const TineChoice& choice : ofDocuments)
        rememberedFromDocument |= choice.tines.noteValues == remembered;
    if (!remembered.empty() && !offered(remembered) && !rememberedFromDocument)
        choices.push_back({QStringLiteral("The tines used last"), {remembered, ""}});
    for (const TineChoice& choice : ofDocuments)
        if (!offered(choice.tines.noteValues))
            choices.push_back(choice);
    return choices;
}

int choiceOf(const std::vector<TineChoice>& choices, const std::string& noteValues)
{
    for (size_t i = 0; i < choices.size(); ++i)
        if (choices[i].tines.noteValues == noteValues)
            return int(i);
    return 0;
}

// The rhythm a MIDI file is read with: simplified until the player chooses
// otherwise.
ImportRhythm rememberedRhythm()
{
    const QString text = readSettingText(SettingKey::ImportRhythm);
    return text.isEmpty() || leadingIntegerOf(text) != 0 ? ImportRhythm::Simplified : ImportRhythm::AsPlayed;
}

bool showDialog(QWidget* parent, const QString& path, const ImportedPiece& piece, const std::vector<TineChoice>& tines,
                int& voice, int& tineChoice, ImportRhythm& rhythm)
{
    ImportDialog dialog(QFileInfo(path).fileName(), piece, tines, tineChoice, rhythm, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    voice = dialog.voice();
    tineChoice = dialog.tineChoice();
    rhythm = dialog.rhythm();
    return true;
}

} // namespace

MusicImporter::MusicImporter(MessageSink& messages, QWidget* dialogParent)
    : m_messages(messages),
      m_choose([dialogParent](const QString& path, const ImportedPiece& piece, const std::vector<TineChoice>& tines,
                              int& voice, int& tineChoice, ImportRhythm& rhythm) {
          return showDialog(dialogParent, path, piece, tines, voice, tineChoice, rhythm);
      })
{
}

std::optional<OpenResult> MusicImporter::open(CZolvaDoc& doc, const QString& path,
                                               const std::vector<const CZolvaDoc*>& open)
{
    const std::string file = QFile::encodeName(path).toStdString();
    const SourceKind kind = sourceKindOfFile(file);
    if (kind == SourceKind::MusicFile)
        return std::nullopt;
    ImportedPiece piece;
    const OpenOutcome read = inBackground(path, [&](MessageSink& messages) {
        std::vector<char> bytes;
        return readMusicBytes(file, bytes, messages) == 0 && readImportedPiece(kind, bytes, file, messages, piece);
    });
    if (read != OpenOutcome::Opened)
        return OpenResult{read};

    std::string remembered = readSettingText(SettingKey::ImportTines).toStdString();
    if (remembered.empty())
        remembered = defaultKalimba().noteValues;
    const std::vector<TineChoice> choices = tineChoices(remembered, open);
    int tineChoice = choiceOf(choices, remembered);
    int voice = likeliestMelody(piece, parseTinePitches(choices[size_t(tineChoice)].tines.noteValues));
    // Only a choice to make brings the dialog: several parts, or open
    // documents whose tines are not the ones remembered.
    bool otherTines = false;
    for (const CZolvaDoc* other : open) {
        const std::string noteValues = attributeText(other->tineSettings(), MusicAttr::NoteValues);
        otherTines |= !noteValues.empty() && noteValues != remembered;
    }
    const bool played = kind == SourceKind::Midi;
    ImportRhythm rhythm = played ? rememberedRhythm() : ImportRhythm::AsPlayed;
    if (piece.voices.size() > 1 || otherTines) {
        if (!m_choose(path, piece, choices, voice, tineChoice, rhythm))
            return OpenResult{OpenOutcome::Cancelled};
        if (played)
            writeSettingText(SettingKey::ImportRhythm, QString::number(int(rhythm)));
    }

    ImportChoice choice;
    choice.voice = voice;
    choice.rhythm = rhythm;
    choice.tines = choices[size_t(std::clamp(tineChoice, 0, int(choices.size()) - 1))].tines;
    if (choice.tines.shade.empty())
        choice.tines.shade.assign(parseTinePitches(choice.tines.noteValues).size(), '0');
    const bool isDefault = choice.tines.noteValues == defaultKalimba().noteValues;
    writeSettingText(SettingKey::ImportTines, isDefault ? QString() : QString::fromStdString(choice.tines.noteValues));

    ImportOutcome outcome;
    const OpenOutcome built = inBackground(path, [&](MessageSink& messages) {
        return buildImportedMusic(doc.tree(), piece, choice, file, messages, outcome);
    });
    if (built != OpenOutcome::Opened)
        return OpenResult{built};
    if (!doc.openBuiltTree(path))
        return OpenResult{OpenOutcome::Failed};
    return OpenResult{OpenOutcome::Opened, nullptr, QString::fromStdString(importStatusText(outcome))};
}

OpenOutcome MusicImporter::inBackground(const QString& path, const std::function<bool(MessageSink&)>& step)
{
    DeferredMessages messages;
    bool done = false;
    if (!m_load(QFileInfo(path).fileName(), [&](WorkProgress&) { done = step(messages); }))
        return OpenOutcome::Cancelled;
    messages.showThrough(m_messages);
    return done ? OpenOutcome::Opened : OpenOutcome::Failed;
}
