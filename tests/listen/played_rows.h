#pragma once

#include "listen/pluck_detector.h"
#include "listen/tine_pitch.h"
#include "play/performance_render.h"

#include <cstdint>
#include <string>
#include <vector>

// The rows of tablature a piece plays, each a moment and the tines sounded
// then, and the judgement a play-along cursor makes of what it heard.

struct PlayedRow {
    int64_t micros = 0;              // when its first tine is struck
    std::vector<int> tines;          // 1-based, in the order struck
    std::vector<int64_t> offsets;    // µs after micros, per tine
};

struct PlayedPiece {
    std::string name;
    TineTuning tuning;
    std::vector<PlayedRow> rows;
};

// The examples shipped with the program, played as Play plays them: loaded
// as File > Open loads them and rendered to MIDI messages on the kalimba.
std::vector<PlayedPiece> examplePieces();

// The messages for rows on the kalimba, as tests play it.
Performance rowsPerformance(const std::vector<PlayedRow>& rows, const TineTuning& tuning);

// What the program's play-along makes of heard at each row on its own: a
// row is taken when every tine of it was heard, within 150 ms of each other,
// and no other tine until the next row.
std::vector<bool> rowsTaken(const std::vector<PlayedRow>& rows, const std::vector<HeardPluck>& heard);
