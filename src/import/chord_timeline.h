#pragma once

#include "import/imported_piece.h"

#include <cstdint>
#include <vector>

// One chord of the tablature: the notes that start together, on the tines
// they were fitted to. Times in units (note_values.h).
struct Chord {
    int64_t start = 0;
    int64_t end = 0;       // where the next chord or rest begins, once resolved
    double exact = 0;      // the file's own onset, before any grid
    uint32_t firstTine = 0; // into ChordTimeline::tines
    uint32_t tineCount = 0;
    int lyric = -1;
};

struct ChordTimeline {
    std::vector<Chord> chords;  // by start, none overlapping the next
    std::vector<uint8_t> tines; // tine numbers from 1, ascending per chord
    long notes = 0;             // notes that sound on a tine
};

// How a played rhythm is read: on the fine grid that keeps it as played, or
// simplified to the values a player would write (rhythm_simplifier.h).
enum class ImportRhythm { AsPlayed, Simplified };

// Groups the voice's notes that have a tine (tines[i] != 0 for notes[i]) into
// chords: notes starting within a 32nd of a quarter of each other in a
// played (MIDI) piece, at the same time in a written one; their onset on the
// onset grid. Each chord lasts until the next one begins, unless a gap long
// enough for a rest lies between. Onsets too close to be written apart are
// moved onto one grid, so that every length can be written exactly. A
// simplified rhythm groups and places the onsets as simplifyRhythm does.
ChordTimeline buildChords(const ImportedPiece& piece, const SourceVoice& voice, const std::vector<int>& tines,
                          ImportRhythm rhythm);

// The point of the onset grid closest to units: 64ths and triplet 32nds
// counted from the start. Rounding against the absolute time, never from
// note to note, keeps errors from adding up.
int64_t onOnsetGrid(double units);

// Ticks of the piece as units, rounded to the nearest whole unit.
int64_t unitsOfTicks(int64_t ticks, int ticksPerQuarter);
