#pragma once

#include "import/imported_piece.h"
#include "import/written_music.h"
#include "xml/xpxml_element_maker.h"

#include <string>

class XPxmlDoc;
class XPxmlNode;

// The kalimba an imported piece is written for, as a music file states it.
struct KalimbaTines {
    std::string noteValues;
    std::string shade;
};

// The 17-tine kalimba in C of the examples.
const KalimbaTines& defaultKalimba();

// Makes tree a music document for piece (settings, credits, an empty note
// list) and appends the written music to its note list. The tree must be empty.
class TablatureBuilder : public WrittenMusic {
public:
    TablatureBuilder(XPxmlDoc& tree, const ImportedPiece& piece, const KalimbaTines& tines);

    void addBar(const WrittenBar& bar) override;
    void addNote(const WrittenNote& note) override;

private:
    const ImportedPiece& m_piece;
    XPxmlNode* m_noteList = nullptr;
    XPxmlElementMaker m_maker; // reused for every bar and note
};
