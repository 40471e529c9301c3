#pragma once

#include "import/chord_timeline.h"
#include "import/imported_piece.h"
#include "import/source_kind.h"
#include "import/tablature_builder.h"

#include <string>
#include <vector>

class MessageSink;
class XPxmlDoc;

// What the player chose: the voice to read (-1 for the likeliest melody),
// the kalimba to fit it to and how to read its rhythm.
struct ImportChoice {
    int voice = -1;
    KalimbaTines tines = defaultKalimba();
    ImportRhythm rhythm = ImportRhythm::AsPlayed;
};

// What an import did, for the status bar.
struct ImportOutcome {
    long notes = 0;          // notes written on a tine
    std::string voiceLabel;  // "track 2"
    int shift = 0;           // semitones
    int movedByOctaves = 0;
    int withoutTine = 0;     // notes left out
};

// Reads a MIDI file, a MusicXML text or a compressed MusicXML file (as kind
// says) into piece, emptying bytes. False, after the message
// "Cannot import <path>: <what is wrong>." through sink, when it cannot.
bool readImportedPiece(SourceKind kind, std::vector<char>& bytes, const std::string& path, MessageSink& sink,
                       ImportedPiece& piece);

// The voice most likely to be the melody: the most notes within the range of
// the tines, then the highest average pitch, then the first. -1 without voices.
int likeliestMelody(const ImportedPiece& piece, const std::vector<int>& tinePitches);

// Writes the chosen voice of piece into the empty tree as a music document
// fitted to the chosen tines. False, after a message through sink, when no
// note of the voice has a tine, the voice does not exist or the music would
// take too many bars.
bool buildImportedMusic(XPxmlDoc& tree, const ImportedPiece& piece, const ImportChoice& choice,
                        const std::string& path, MessageSink& sink, ImportOutcome& outcome);

// "Imported 432 notes from track 2 · transposed +2 · 3 notes have no tine", in UTF-8.
std::string importStatusText(const ImportOutcome& outcome);
