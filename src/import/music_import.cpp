#include "import/music_import.h"

#include "doc/message_sink.h"
#include "doc/music_loader.h"
#include "import/chord_timeline.h"
#include "import/measure_writer.h"
#include "import/midi_reader.h"
#include "import/musicxml_reader.h"
#include "import/mxl_archive.h"
#include "import/tine_fitting.h"
#include "xml/xpxml_doc.h"

#include <algorithm>
#include <new>

namespace {

constexpr char kSeparator[] = " \xC2\xB7 "; // a middle dot between spaces

void refuse(MessageSink& sink, const std::string& path, const std::string& problem)
{
    sink.showMessage(formatMessage("Cannot import %s: %s.", path.c_str(), problem.c_str()));
}

bool readByKind(SourceKind kind, std::vector<char>& bytes, ImportedPiece& piece, std::string& problem)
{
    if (kind == SourceKind::Midi)
        return readMidi(bytes.data(), bytes.size(), piece, problem);
    std::string text;
    if (kind == SourceKind::CompressedMusicXml) {
        if (!unpackMxl(bytes.data(), bytes.size(), kMaxMusicFileSize, text, problem))
            return false;
    } else {
        text.assign(bytes.begin(), bytes.end());
    }
    std::vector<char>().swap(bytes);
    return readMusicXml(text, piece, problem);
}

std::string plural(long count, const char* one, const char* many)
{
    return std::to_string(count) + (count == 1 ? one : many);
}

} // namespace

bool readImportedPiece(SourceKind kind, std::vector<char>& bytes, const std::string& path, MessageSink& sink,
                       ImportedPiece& piece)
{
    std::string problem;
    bool read = false;
    try {
        read = readByKind(kind, bytes, piece, problem);
    } catch (const std::bad_alloc&) {
        piece = ImportedPiece{};
        problem = "there is not enough memory";
    }
    std::vector<char>().swap(bytes); // the piece holds what counts now
    if (!read)
        refuse(sink, path, problem);
    return read;
}

int likeliestMelody(const ImportedPiece& piece, const std::vector<int>& tinePitches)
{
    const auto [lowest, highest] = std::minmax_element(tinePitches.begin(), tinePitches.end());
    int best = -1;
    long bestInside = -1;
    double bestAverage = 0;
    for (size_t v = 0; v < piece.voices.size(); ++v) {
        long inside = 0;
        double sum = 0;
        for (const SourceNote& note : piece.voices[v].notes) {
            inside += lowest != tinePitches.end() && note.pitch >= *lowest && note.pitch <= *highest;
            sum += note.pitch;
        }
        const double average = piece.voices[v].notes.empty() ? 0 : sum / double(piece.voices[v].notes.size());
        if (inside > bestInside || (inside == bestInside && average > bestAverage)) {
            best = int(v);
            bestInside = inside;
            bestAverage = average;
        }
    }
    return best;
}

bool buildImportedMusic(XPxmlDoc& tree, const ImportedPiece& piece, const ImportChoice& choice,
                        const std::string& path, MessageSink& sink, ImportOutcome& outcome)
{
    const std::vector<int> tinePitches = parseTinePitches(choice.tines.noteValues);
    const int index = choice.voice >= 0 ? choice.voice : likeliestMelody(piece, tinePitches);
    if (index < 0 || size_t(index) >= piece.voices.size()) {
        refuse(sink, path, "the file has no such track or part");
        return false;
    }
    const SourceVoice& voice = piece.voices[size_t(index)];
    try {
        std::vector<int> pitches;
        pitches.reserve(voice.notes.size());
        for (const SourceNote& note : voice.notes)
            pitches.push_back(note.pitch);
        const TineFit fit = fitToTines(pitches, tinePitches);
        std::vector<int>().swap(pitches);
        const ChordTimeline timeline = buildChords(piece, voice, fit.tines, choice.rhythm);
        if (timeline.notes == 0) {
            refuse(sink, path, voice.label + " has no notes that a tine can play");
            return false;
        }
        outcome = {timeline.notes, voice.label, fit.shift, fit.movedByOctaves, fit.withoutTine};
        TablatureBuilder builder(tree, piece, choice.tines);
        if (!writeMeasures(piece, timeline, builder)) {
            refuse(sink, path,
                   "the music is too long, more than " + std::to_string(barsAllowed(timeline.chords.size())) + " bars");
            return false;
        }
    } catch (const std::bad_alloc&) {
        refuse(sink, path, "there is not enough memory");
        return false;
    }
    return true;
}

std::string importStatusText(const ImportOutcome& outcome)
{
    std::string text = "Imported " + plural(outcome.notes, " note", " notes") + " from " + outcome.voiceLabel;
    if (outcome.shift != 0)
        text += kSeparator + std::string("transposed ") + (outcome.shift > 0 ? "+" : "") + std::to_string(outcome.shift);
    if (outcome.movedByOctaves > 0)
        text += kSeparator + plural(outcome.movedByOctaves, " note moved", " notes moved") + " by octaves";
    if (outcome.withoutTine > 0)
        text += kSeparator + plural(outcome.withoutTine, " note has", " notes have") + " no tine";
    return text;
}
