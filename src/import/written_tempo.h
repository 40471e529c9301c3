#pragma once

#include "import/imported_piece.h"

#include <cstdint>
#include <vector>

// The whole-number tempos a piece is written with. A file may state any
// tempo (92.5, or a MIDI file's 92.0000004); the tablature takes whole
// numbers. Each one is chosen for the stretch it governs so that the
// written music keeps to the file's time: the rounding is carried forward,
// not repeated. Times in units (note_values.h), asked for in time order.
class WrittenTempo {
public:
    explicit WrittenTempo(const ImportedPiece& piece);

    // The tempo in force at 0, for the opening bar.
    int opening(int64_t until);
    // The tempo to write at at for the music up to until, the next place a
    // tempo can be written; 0 when the written one stays. A bar may always
    // take one; a note only where the file's tempo changes.
    int atBar(int64_t at, int64_t until) { return choose(at, until, true); }
    int atNote(int64_t at, int64_t until) { return choose(at, until, false); }

    // The first place after at where the file's tempo changes, or limit.
    int64_t nextChange(int64_t at, int64_t limit) const;
    // The file's tempo changes strictly between from and to.
    std::vector<int64_t> changesWithin(int64_t from, int64_t to) const;

private:
    struct Change {
        int64_t at = 0;
        double quartersPerMinute = 120;
    };
    int choose(int64_t at, int64_t until, bool always);
    bool advance(int64_t at);

    std::vector<Change> m_changes; // in time order
    size_t m_next = 0;
    double m_source = 120; // the file's tempo at m_at
    int m_written = 120;
    int64_t m_at = 0;     // accounted up to here
    double m_lag = 0;     // seconds the written music runs behind the file's at m_at
};
