// Tempos a file states in fractions are written in whole numbers chosen bar
// by bar, so that the written time never strays from the file's.
#include "import/note_values.h"
#include "import/written_tempo.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(WrittenTempo, CarriesTheRounding)
{
    const struct {
        double tempo;
        int beats;
        bool fraction; // whole numbers are written after the opening one
    } rows[] = {{92.5, 4, true}, {130.3, 3, true}, {60.0, 4, false}, {119.99976, 4, false}};
    for (const auto& row : rows) {
        ImportedPiece piece;
        piece.ticksPerQuarter = int(kUnitsPerQuarter);
        piece.tempos = {{0, row.tempo}};
        WrittenTempo tempo(piece);
        const int64_t bar = row.beats * kUnitsPerQuarter;
        int written = tempo.opening(bar);
        double writtenSeconds = 0, sourceSeconds = 0;
        int changes = 0;
        const double halfStep = 60.0 / row.tempo / 16 / 2;
        for (int64_t at = 0; at < 300 * bar; at += bar) {
            if (at > 0)
                if (const int next = tempo.atBar(at, at + bar); next > 0) {
                    written = next;
                    ++changes;
                }
            writtenSeconds += row.beats * 60.0 / written;
            sourceSeconds += row.beats * 60.0 / row.tempo;
            ASSERT_LE(std::abs(writtenSeconds - sourceSeconds), halfStep) << row.tempo << " bar " << at / bar;
        }
        EXPECT_EQ(changes > 0, row.fraction) << row.tempo;
    }
}

} // namespace
