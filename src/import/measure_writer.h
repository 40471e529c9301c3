#pragma once

#include "import/chord_timeline.h"
#include "import/imported_piece.h"
#include "import/written_music.h"

// More bars than this make an import fail instead of filling the memory
// with rests (a hostile file can put one note a lifetime after another):
// a few for every chord, and never more than two million.
inline constexpr long kMaxImportedBars = 2000000;
long barsAllowed(size_t chords);

// Writes the chords into out measure by measure: bars where the piece's
// measures begin (its stated ones, else by its time signatures), notes and
// rests in written values, a note that crosses a bar line split and tied,
// triplet marks only on groups that hold, the tempo where it changes and
// the repeat marks on their bars. Each measure is written against absolute
// time, so a value that cannot be written exactly never shifts what follows
// its bar. False, having written nothing, when it would take more than
// barsAllowed bars.
bool writeMeasures(const ImportedPiece& piece, const ChordTimeline& timeline, WrittenMusic& out);
