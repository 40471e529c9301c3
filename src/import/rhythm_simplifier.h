#pragma once

#include "import/chord_timeline.h"
#include "import/imported_piece.h"

#include <cstdint>
#include <vector>

// Onsets closer than this, by the piece's tempos, sound together to a
// listener: simplifying may move an onset this far, and notes starting this
// close to a chord's first one join it.
inline constexpr double kSimplifyLeewayMs = 30;

// Reads a played rhythm as a player would write it down. The notes (indices
// into voice.notes in time order, each with a tine in tines) are grouped into
// chords, and each beat (a quarter) takes the coarsest grid of quarters,
// eighths, 16ths or 32nds, plain or triplet, that keeps every onset in it
// within the leeway of the file's time; 64ths where none does. Each chord's
// end goes onto the grid of the beat it falls in. Appends the chords to
// timeline, their ends not yet resolved against the next chord and their
// tines not yet sorted.
void simplifyRhythm(const ImportedPiece& piece, const SourceVoice& voice, const std::vector<uint32_t>& order,
                    const std::vector<int>& tines, ChordTimeline& timeline);
