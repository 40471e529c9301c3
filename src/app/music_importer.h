#pragma once

#include "app/document_registry.h"
#include "app/import_dialog.h"

#include <QString>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

class CZolvaDoc;
class MessageSink;
class QWidget;

// Opens MIDI and MusicXML files as documents in memory: reads the file, asks
// for the part, the tines and the rhythm when there is a choice of part or
// tines, fits and writes the music, and says what it did for the status
// bar. The chosen tines are remembered in the setting "ImportTines" ("" for
// the 17-tine kalimba in C). A MIDI file, played music, is read simplified
// unless the player chose "As played" for one, as "ImportRhythm" remembers
// (0 as played, 1 simplified); a MusicXML score, already written, is read as
// it stands unless the player chooses otherwise for it.
class MusicImporter {
public:
    // Shows the import dialog; false when the player cancels it. The answer
    // goes into voice, tineChoice and rhythm, which come preselected.
    using Chooser = std::function<bool(const QString& path, const ImportedPiece& piece,
                                       const std::vector<TineChoice>& tines, int& voice, int& tineChoice,
                                       ImportRhythm& rhythm)>;

    explicit MusicImporter(MessageSink& messages, QWidget* dialogParent = nullptr);

    // Nullopt (doc untouched) unless path holds a MIDI or MusicXML file;
    // then Opened into doc with what the import did as the status, Failed
    // after a message, or Cancelled by the player in the dialog or the
    // background load. open lists the documents open now, for their tines.
    std::optional<OpenResult> open(CZolvaDoc& doc, const QString& path, const std::vector<const CZolvaDoc*>& open);

    void setChooser(Chooser chooser) { m_choose = std::move(chooser); }
    // How the file is read and the music written: in place unless set.
    void setBackgroundLoad(BackgroundLoad load) { m_load = std::move(load); }

private:
    // Runs step through the background load with its messages held until it
    // ends: Failed when step fails, Cancelled when the player cancels it.
    OpenOutcome inBackground(const QString& path, const std::function<bool(MessageSink&)>& step);

    MessageSink& m_messages;
    Chooser m_choose;
    BackgroundLoad m_load = loadInPlace;
};
