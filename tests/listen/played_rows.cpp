#include "listen/played_rows.h"

#include "doc/recording_sink.h"

#include "listen/heard_sounds.h"

#include "doc/zolva_doc.h"
#include "listen/play_along.h"
#include "play/performance_audio.h"
#include "play/synth_engine.h"
#include "view/display_options.h"

#include <algorithm>
#include <filesystem>

namespace {

// Note-ons closer than this to a row's first make the same row: a strum's
// tines are 18 ms apart.
constexpr int64_t kRowSpread = 100'000; // µs
// A tine heard this much before its row's first frame still counts for it.
constexpr int64_t kEarlyHeard = 25'000;

bool isNoteOn(MidiMessage m)
{
    return midiStatus(m) == 0x90 && midiData2(m) != 0;
}

std::vector<PlayedRow> rowsOf(const Performance& performance, const TineTuning& tuning)
{
    std::vector<PlayedRow> rows;
    for (const RecordedMidiMessage& sent : performance.messages) {
        if (!isNoteOn(sent.message))
            continue;
        const auto key = std::find(tuning.keys.begin(), tuning.keys.end(), midiData1(sent.message));
        if (key == tuning.keys.end())
            continue;
        if (rows.empty() || sent.micros - rows.back().micros > kRowSpread)
            rows.push_back({sent.micros, {}, {}});
        rows.back().tines.push_back(int(key - tuning.keys.begin()) + 1);
        rows.back().offsets.push_back(sent.micros - rows.back().micros);
    }
    return rows;
}

} // namespace

std::vector<PlayedPiece> examplePieces()
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(ZOLVA_SOURCE_DIR) / "examples"))
        if (entry.path().extension() == ".zvm")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());

    std::vector<PlayedPiece> pieces;
    for (const auto& file : files) {
        RecordingSink sink;
        CZolvaDoc doc(sink);
        if (doc.openDocument(QString::fromStdString(file.string())) != OpenOutcome::Opened)
            continue;
        PerformanceMusic music;
        music.noteList = doc.noteList();
        music.tineCount = doc.tineCount();
        music.tineKeys = ResolveDisplayOptions(doc).tineKeys;
        PlayedPiece piece{file.filename().string(), {}, {}};
        piece.tuning.keys.assign(music.tineKeys.begin(), music.tineKeys.begin() + music.tineCount);
        piece.rows = rowsOf(renderPerformance(sink, music), piece.tuning);
        pieces.push_back(std::move(piece));
    }
    return pieces;
}

Performance rowsPerformance(const std::vector<PlayedRow>& rows, const TineTuning& tuning)
{
    std::vector<StruckNote> notes;
    for (const PlayedRow& row : rows)
        for (size_t i = 0; i < row.tines.size(); ++i)
            notes.push_back({row.micros + row.offsets[i], tuning.keys[size_t(row.tines[i] - 1)], 0});
    std::stable_sort(notes.begin(), notes.end(),
                     [](const StruckNote& a, const StruckNote& b) { return a.micros < b.micros; });
    return kalimbaPerformance(notes);
}

std::vector<bool> rowsTaken(const std::vector<PlayedRow>& rows, const std::vector<HeardPluck>& heard)
{
    std::vector<bool> taken;
    const int64_t early = audioFrameOf(kEarlyHeard);
    for (size_t r = 0; r < rows.size(); ++r) {
        const int64_t from = audioFrameOf(rows[r].micros) - early;
        const int64_t to = r + 1 < rows.size() ? audioFrameOf(rows[r + 1].micros) - early : INT64_MAX;
        // The program's own judgement, at this row alone.
        PlayAlong along({rows[r].tines});
        for (const HeardPluck& pluck : heard)
            if (pluck.frame >= from && pluck.frame < to)
                along.hear(pluck.tines, pluck.frame * 1000000 / SynthEngine::kSampleRate);
        taken.push_back(along.finished() && along.summary().wrongNotes == 0);
    }
    return taken;
}
