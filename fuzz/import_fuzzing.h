#pragma once

#include "import/music_import.h"
#include "quiet_sink.h"
#include "xml/xpxml_doc.h"

#include <cstdint>
#include <vector>

// Reads the bytes as kind and writes every voice of what comes out (and the
// likeliest one) as tablature, on the 17-tine kalimba and on a small one,
// every other one with its rhythm simplified.
inline void importEveryWay(SourceKind kind, const uint8_t* data, size_t size, const char* name)
{
    QuietSink sink;
    std::vector<char> bytes(data, data + size);
    ImportedPiece piece;
    if (!readImportedPiece(kind, bytes, name, sink, piece))
        return;
    for (int voice = -1; voice < int(piece.voices.size()) && voice < 4; ++voice) {
        ImportChoice choice;
        choice.voice = voice;
        if (voice == 0)
            choice.tines = {"60,64,67", "000"};
        if (voice % 2 == 0)
            choice.rhythm = ImportRhythm::Simplified;
        XPxmlDoc tree;
        ImportOutcome outcome;
        buildImportedMusic(tree, piece, choice, name, sink, outcome);
        (void)importStatusText(outcome);
    }
}
