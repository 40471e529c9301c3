#pragma once

#include "import/imported_piece.h"

#include <string>

// Reads a partwise MusicXML score (its text, which may be changed in place)
// into piece: one voice per part with notes, its first voice only; the
// measures, time signatures, repeats and tempo of the first part; the title,
// composer and rights; the first verse of lyrics. False with problem set
// ("not a MusicXML file", "the MusicXML has no notes" …) when it cannot be read.
bool readMusicXml(std::string& text, ImportedPiece& piece, std::string& problem);
