#pragma once

#include "import/imported_piece.h"

#include <cstddef>
#include <string>

// Whether bytes begin as a Standard MIDI File does ("MThd").
bool looksLikeMidi(const char* bytes, size_t size);

// Reads a Standard MIDI File (format 0 or 1) into piece: one voice per
// track, or per channel where a track plays on several (format 0 always),
// leaving out channel 10 (percussion) and voices without notes. False with
// problem set ("not a MIDI file", "the MIDI file is damaged", "the MIDI file
// has no notes") when it cannot be read.
bool readMidi(const char* bytes, size_t size, ImportedPiece& piece, std::string& problem);
