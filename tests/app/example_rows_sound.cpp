// The sound of an example's first rows played right, then of a tine the
// next row does not hold, from the built-in synthesizer's kalimba: what the
// play-along test plays into a sound server. Each is written as a WAV file;
// the wrong tine's number goes to the output stream.
//   example_rows_sound EXAMPLE ROWS RIGHT_FILE WRONG_FILE
#include "listen/played_rows.h"

#include "listen/heard_sounds.h"

#include "play/sound_file_writer.h"
#include "play/synth_engine.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

namespace {

// Before the first pluck: the listener hears a moment of silence first.
constexpr int64_t kLeadIn = 300'000; // µs

// As a WAV file, the same sound on both sides.
bool write(const char* path, const std::vector<float>& sound)
{
    QString error;
    const std::unique_ptr<SoundFileWriter> file =
        SoundFileWriter::open(QString::fromLocal8Bit(path), SoundFileKind::Wav, SynthEngine::kSampleRate, error);
    std::vector<float> stereo;
    stereo.reserve(2 * sound.size());
    for (float sample : sound)
        stereo.insert(stereo.end(), {sample, sample});
    return file && file->write(stereo) && file->commit(error);
}

// A tine the row does not hold and whose note is no octave of one it holds.
int wrongTineFor(const PlayedRow& row, const TineTuning& tuning)
{
    for (int tine = int(tuning.keys.size()); tine >= 1; --tine) {
        const int key = tuning.keys[size_t(tine - 1)];
        if (std::none_of(row.tines.begin(), row.tines.end(),
                         [&](int held) { return (tuning.keys[size_t(held - 1)] - key) % 12 == 0; }))
            return tine;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::cerr << "usage: example_rows_sound EXAMPLE ROWS RIGHT_FILE WRONG_FILE\n";
        return 2;
    }
    const std::vector<PlayedPiece> pieces = examplePieces();
    const auto piece = std::find_if(pieces.begin(), pieces.end(), [&](const PlayedPiece& p) { return p.name == argv[1]; });
    const long count = std::strtol(argv[2], nullptr, 10);
    if (piece == pieces.end() || count < 1 || size_t(count) >= piece->rows.size()) {
        std::cerr << "example_rows_sound: no example " << argv[1] << " with more than " << argv[2] << " rows\n";
        return 1;
    }
    std::vector<PlayedRow> rows(piece->rows.begin(), piece->rows.begin() + count);
    const int64_t first = rows.front().micros;
    for (PlayedRow& row : rows)
        row.micros += kLeadIn - first;
    const int wrong = wrongTineFor(piece->rows[size_t(count)], piece->tuning);
    if (wrong == 0 || !write(argv[3], renderedMono(rowsPerformance(rows, piece->tuning))) ||
        !write(argv[4], renderedMono(rowsPerformance({{kLeadIn, {wrong}, {0}}}, piece->tuning)))) {
        std::cerr << "example_rows_sound: nothing written\n";
        return 1;
    }
    std::cout << wrong << '\n';
    return 0;
}
