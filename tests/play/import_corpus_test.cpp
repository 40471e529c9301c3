// Every file of tests/data/import-corpus (scripts/make-import-corpus makes it)
// imported as the program opens it and played on the jumping clock, against
// the notes its source sounds: MuseScore's playing of the MusicXML part, or
// the MIDI file itself, read by portSMF's Allegro reader, not by the importer.
//
// The import moves the whole piece by one shift, may move single notes by
// octaves and leaves out notes whose pitch class no tine has. So a played note
// is in time when a source note of its pitch class (after the shift) starts
// within 10 ms of it, and a source note with a tine counts as played when
// such a played note starts within 10 ms of it. Times count from each side's
// first note, so a count-in or a leading rest does not matter; the span runs
// from the first note's start to the last one's.
#include "musicxml_text.h"
#include "playback_fixture.h"

#include "doc/zolva_doc.h"
#include "import/music_import.h"
#include "import/source_kind.h"
#include "import/tine_fitting.h"
#include "view/view_cursor.h"
#include "view/view_layout.h"

#include <allegro.h>

#include <gtest/gtest.h>

#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

// portSMF's table of attribute names, which the Allegro reader fills, frees
// with delete what it made with new[] when the program exits.
extern "C" const char* __asan_default_options()
{
    return "alloc_dealloc_mismatch=0";
}

namespace {

const std::string kCorpus = std::string(ZOLVA_TEST_DATA) + "/import-corpus/";
constexpr double kOnsetTolerance = 0.010; // s
constexpr double kSpanTolerance = 0.020;  // s
constexpr double kShareNeeded = 0.99;
constexpr int kPlayTimeoutMs = 600000;   // real time, for a slow sanitized run

// One line of the manifest: "file | kind | reference | voice | note".
struct Entry {
    std::string file;
    std::string kind;      // midi, musicxml or mxl
    std::string reference; // "=": the file itself; "*" stands for the chosen part's number
    std::string voice;     // "auto": the program's choice; else a voice label
    std::string note;      // "excluded: why" leaves the file out of the check
    bool excluded() const { return note.rfind("excluded:", 0) == 0; }
};

std::string trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    const size_t last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

std::vector<Entry> readManifest()
{
    std::ifstream in(kCorpus + "manifest.txt");
    std::vector<Entry> entries;
    for (std::string line; std::getline(in, line);) {
        if (trimmed(line).empty() || trimmed(line)[0] == '#')
            continue;
        std::vector<std::string> fields;
        std::istringstream columns(line);
        for (std::string field; std::getline(columns, field, '|');)
            fields.push_back(trimmed(field));
        fields.resize(5);
        entries.push_back({fields[0], fields[1], fields[2], fields[3], fields[4]});
    }
    return entries;
}

std::vector<char> fileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

const char* kindName(SourceKind kind)
{
    switch (kind) {
    case SourceKind::Midi: return "midi";
    case SourceKind::MusicXml: return "musicxml";
    case SourceKind::CompressedMusicXml: return "mxl";
    case SourceKind::MusicFile: break;
    }
    return "music file";
}

struct Onset {
    double seconds = 0;
    int key = 0;
};

// The number after word in a voice label ("track 2, channel 3"), 0 when absent.
int labelNumber(const std::string& label, const std::string& word)
{
    const size_t at = label.find(word + " ");
    return at == std::string::npos ? 0 : std::atoi(label.c_str() + at + word.size() + 1);
}

// The note-ons of a Standard MIDI File in seconds, outside channel 10; only
// those of the voice label's track and channel when it names them.
bool readReference(const std::string& path, const std::string& label, std::vector<Onset>& notes,
                   std::string& problem)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        problem = "no reference " + path.substr(kCorpus.size());
        return false;
    }
    Alg_seq seq(in, true);
    if (seq.get_read_error() != alg_no_error) {
        problem = "cannot read " + path.substr(kCorpus.size());
        return false;
    }
    seq.convert_to_seconds();
    const int track = labelNumber(label, "track");     // counted from 1
    const int channel = labelNumber(label, "channel"); // counted from 1
    for (int t = 0; t < seq.tracks(); ++t) {
        if (track != 0 && t != track - 1)
            continue;
        Alg_track& events = *seq.track(t);
        for (int i = 0; i < events.length(); ++i) {
            Alg_event_ptr e = events[i];
            if (!e->is_note() || e->chan == 9 || (channel != 0 && e->chan != channel - 1))
                continue;
            notes.push_back({e->time, int(std::lround(static_cast<Alg_note_ptr>(e)->pitch))});
        }
    }
    std::stable_sort(notes.begin(), notes.end(), [](const Onset& a, const Onset& b) { return a.seconds < b.seconds; });
    return true;
}

// How the played notes meet the source notes that have a tine.
struct Comparison {
    size_t played = 0, playedInTime = 0;
    size_t reference = 0, referencePlayed = 0; // source notes with a tine
    double spanError = 0;  // s, played minus source
    std::string misses;    // the first notes that miss, for the failure message
    double playedShare() const { return played ? double(playedInTime) / double(played) : 0; }
    double referenceShare() const { return reference ? double(referencePlayed) / double(reference) : 0; }
};

// What one file came to.
struct Row : Comparison {
    std::string file, voice, problem;
    bool excluded = false;
    bool passes() const
    {
        return problem.empty() && played > 0 && playedShare() >= kShareNeeded &&
               referenceShare() >= kShareNeeded && std::abs(spanError) <= kSpanTolerance;
    }
};

// The program's way: the importer reads the file, the likeliest melody (or
// the manifest's voice) goes onto the default kalimba, a view times its bars,
// and Play runs from the first element.
struct OpenedPiece {
    RecordingSink sink;
    CZolvaDoc doc{sink};
    ViewLayout layout;
    ImportOutcome outcome;
    std::string label;
};

bool buildAndOpen(const ImportedPiece& piece, const ImportChoice& choice, const std::string& path, OpenedPiece& opened,
                  std::string& problem)
{
    if (!buildImportedMusic(opened.doc.tree(), piece, choice, path, opened.sink, opened.outcome) ||
        !opened.doc.openBuiltTree(QString::fromStdString(path))) {
        problem = opened.sink.messages.empty() ? "not built" : opened.sink.messages.back();
        return false;
    }
    opened.layout.setDocument(&opened.doc);
    ViewCursor cursor;
    opened.layout.CheckAndRefresh(opened.doc.firstEvent(), cursor, nullptr);
    opened.doc.setBarsTimed();
    return true;
}

bool openAsTheProgramDoes(const Entry& entry, OpenedPiece& opened, std::string& problem)
{
    const std::string path = kCorpus + entry.file;
    std::vector<char> bytes = fileBytes(path);
    const SourceKind kind = sourceKindOf(bytes.data(), bytes.size(), path);
    if (kindName(kind) != entry.kind) {
        problem = std::string("read as ") + kindName(kind);
        return false;
    }
    ImportedPiece piece;
    if (!readImportedPiece(kind, bytes, path, opened.sink, piece)) {
        problem = opened.sink.messages.empty() ? "not read" : opened.sink.messages.back();
        return false;
    }
    ImportChoice choice;
    if (entry.voice == "auto") {
        choice.voice = likeliestMelody(piece, parseTinePitches(choice.tines.noteValues));
    } else {
        for (size_t i = 0; i < piece.voices.size(); ++i)
            if (piece.voices[i].label == entry.voice)
                choice.voice = int(i);
        if (choice.voice < 0) {
            problem = "no voice \"" + entry.voice + "\"";
            return false;
        }
    }
    opened.label = choice.voice >= 0 ? piece.voices[size_t(choice.voice)].label : "";
    return buildAndOpen(piece, choice, path, opened, problem);
}

std::vector<Onset> playThrough(OpenedPiece& opened, std::string& problem)
{
    JumpingClock clock;
    TiedViews tied;
    RecordingSink sink;
    StampedDevices devices(clock);
    MidiSession session(sink, devices);
    session.OpenMidiOutput();
    RecordingWindow window(clock);
    PlaybackThread engine(session, window, tied, clock);

    PlaybackSetup setup;
    setup.noteList = opened.doc.noteList();
    setup.start = opened.doc.firstEvent();
    setup.tineCount = opened.doc.tineCount();
    setup.tineKeys = opened.layout.options().tineKeys;
    engine.play(setup);
    if (!window.waitFinished(1, kPlayTimeoutMs))
        problem = "did not finish playing";
    engine.stop();

    // A strummed chord's notes follow each other by exactly the strum's pause;
    // they all belong to the chord's time.
    constexpr int64_t kStrumPause = 18000;
    std::vector<Onset> played;
    int64_t chordAt = 0, previous = -1;
    for (const StampedMessage& m : devices.sounded()) {
        if (m.micros - previous != kStrumPause)
            chordAt = m.micros;
        previous = m.micros;
        played.push_back({double(chordAt) / double(SECOND), midiData1(m.message)});
    }
    return played;
}

int pitchClass(int key)
{
    return (key % 12 + 12) % 12;
}

// Whether a note of key's pitch class starts within the tolerance of seconds;
// notes is in time order.
bool startsNear(const std::vector<Onset>& notes, double seconds, int key)
{
    auto it = std::lower_bound(notes.begin(), notes.end(), seconds - kOnsetTolerance - 1e-9,
                               [](const Onset& n, double t) { return n.seconds < t; });
    for (; it != notes.end() && it->seconds <= seconds + kOnsetTolerance + 1e-9; ++it)
        if (pitchClass(it->key) == pitchClass(key))
            return true;
    return false;
}

// The played notes (from 0 s on) against the source's notes heard shift
// semitones higher, those of them with a tine, from their first on.
Comparison compare(const std::vector<Onset>& played, const std::vector<Onset>& source, int shift,
                   const std::set<int>& tineClasses)
{
    std::vector<Onset> reference;
    for (const Onset& n : source)
        if (tineClasses.count(pitchClass(n.key + shift)))
            reference.push_back({n.seconds, n.key + shift});
    Comparison c;
    c.played = played.size();
    c.reference = reference.size();
    if (reference.empty())
        return c;
    const double start = reference.front().seconds;
    for (Onset& n : reference)
        n.seconds -= start;

    std::vector<Onset> missed;
    std::vector<bool> missedPlayed;
    for (const Onset& n : played) {
        const bool inTime = startsNear(reference, n.seconds, n.key);
        c.playedInTime += inTime;
        if (!inTime && missed.size() < 6)
            missed.push_back(n), missedPlayed.push_back(true);
    }
    for (const Onset& n : reference) {
        const bool wasPlayed = startsNear(played, n.seconds, n.key);
        c.referencePlayed += wasPlayed;
        if (!wasPlayed && missed.size() < 12)
            missed.push_back(n), missedPlayed.push_back(false);
    }
    for (size_t i = 0; i < missed.size(); ++i) {
        char text[64];
        std::snprintf(text, sizeof text, "%s%s %d at %.3f s", i ? ", " : "", missedPlayed[i] ? "played" : "source",
                      missed[i].key, missed[i].seconds);
        c.misses += text;
    }
    c.spanError = played.back().seconds - reference.back().seconds;
    return c;
}

Row check(const Entry& entry)
{
    Row row;
    row.file = entry.file;
    row.voice = entry.voice;
    row.excluded = entry.excluded();
    if (row.excluded)
        return row;
    OpenedPiece opened;
    if (!openAsTheProgramDoes(entry, opened, row.problem))
        return row;
    row.voice = opened.label;

    std::string referencePath = entry.reference == "=" ? entry.file : entry.reference;
    if (const size_t star = referencePath.find('*'); star != std::string::npos)
        referencePath.replace(star, 1, std::to_string(labelNumber(opened.label, "part")));
    std::vector<Onset> source;
    if (!readReference(kCorpus + referencePath, entry.reference == "=" ? opened.label : "", source, row.problem))
        return row;

    std::vector<Onset> played = playThrough(opened, row.problem);
    if (played.empty()) {
        if (row.problem.empty())
            row.problem = "nothing played";
        return row;
    }
    const double start = played.front().seconds;
    for (Onset& n : played)
        n.seconds -= start;

    std::set<int> tineClasses;
    for (int i = 0; i < opened.doc.tineCount() && i < DisplayOptions::kMaxTines; ++i)
        tineClasses.insert(pitchClass(opened.layout.options().tineKeys[size_t(i)]));
    // Compared at the shift the import reports, and at every other one: a
    // piece that sounds in time only at another shift is out of tune, and
    // its timing still shows.
    const int shift = opened.outcome.shift;
    Comparison best = compare(played, source, shift, tineClasses);
    int bestShift = shift;
    for (int other = shift + 1; other < shift + 12; ++other) {
        Comparison c = compare(played, source, other, tineClasses);
        if (c.playedInTime > best.playedInTime)
            best = c, bestShift = other;
    }
    static_cast<Comparison&>(row) = best;

    if (bestShift != shift) {
        const int off = pitchClass(bestShift - shift) > 6 ? pitchClass(bestShift - shift) - 12 : bestShift - shift;
        row.problem = "sounds " + std::to_string(std::abs(off)) + (off > 0 ? " semitones above" : " semitones below") +
                      " the source shifted by " + std::to_string(shift);
    } else if (row.reference == 0) {
        row.problem = "no source note has a tine";
    }
    return row;
}

std::string percent(double share)
{
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", share * 100);
    return text;
}

TEST(ImportCorpus, EveryFilePlaysItsSourceInTime)
{
    const std::vector<Entry> entries = readManifest();
    ASSERT_GE(entries.size(), 20u) << "manifest.txt of " << kCorpus;

    std::vector<Row> rows;
    for (const Entry& entry : entries)
        rows.push_back(check(entry));

    std::ostringstream table;
    char line[256];
    std::snprintf(line, sizeof line, "%-28s %-18s %6s %6s %8s %9s %9s\n", "file", "voice", "source", "played",
                  "% played", "% in time", "span ms");
    table << line;
    for (const Row& row : rows) {
        const std::string verdict = row.excluded ? "excluded" : row.passes() ? "ok" : "FAILS " + row.problem;
        std::snprintf(line, sizeof line, "%-28s %-18s %6zu %6zu %8s %9s %9.1f  %s\n", row.file.c_str(),
                      row.voice.c_str(), row.reference, row.played, percent(row.referenceShare()).c_str(),
                      percent(row.playedShare()).c_str(), row.spanError * 1000, verdict.c_str());
        table << line;
    }
    std::printf("%s", table.str().c_str());

    for (const Row& row : rows)
        EXPECT_TRUE(row.excluded || row.passes())
            << row.file << " (" << row.voice << "): " << row.referencePlayed << " of " << row.reference
            << " source notes played within 10 ms, " << row.playedInTime << " of " << row.played
            << " played notes within 10 ms of one, span off by " << row.spanError * 1000 << " ms"
            << (row.problem.empty() ? "" : "; " + row.problem)
            << (row.misses.empty() ? "" : "; first misses: " + row.misses);
}

// Small scores of each form, played: the keys sound in the order a player
// plays them, once each where the score says so.
TEST(ImportCorpus, FormsPlayInTheirOrder)
{
    const auto whole = [](const char* step) { return xmlNote(step, 4, 48, "whole"); };
    const auto barline = [](const char* location, const std::string& inner) {
        return std::string("<barline location=\"") + location + "\">" + inner + "</barline>";
    };
    const auto sound = [](const std::string& words, const std::string& attributes) {
        return "<direction><direction-type>" + words + "</direction-type><sound " + attributes + "/></direction>";
    };
    const std::string backward = "<repeat direction=\"backward\"/>";
    const struct {
        const char* form;
        std::vector<std::string> measures;
        std::vector<int> keys;
    } rows[] = {
        {"a plain repeat", {barline("left", "<repeat direction=\"forward\"/>") + whole("C"),
                            whole("D") + barline("right", backward), whole("E")},
         {60, 62, 60, 62, 64}},
        {"two endings",
         {whole("C"), barline("left", "<ending number=\"1\" type=\"start\"/>") + whole("D") +
                          barline("right", "<ending number=\"1\" type=\"stop\"/>" + backward),
          barline("left", "<ending number=\"2\" type=\"start\"/>") + whole("E") +
              barline("right", "<ending number=\"2\" type=\"discontinue\"/>")},
         {60, 62, 60, 64}},
        {"D.C. al Fine past a to coda",
         {whole("C"), whole("D") + sound("<words>To Coda</words>", "tocoda=\"coda\""),
          whole("E") + sound("<words>Fine</words>", "fine=\"yes\""),
          whole("F") + sound("<words>D.C. al Fine</words>", "dacapo=\"yes\""), sound("<coda/>", "coda=\"coda\"") + whole("G")},
         {60, 62, 64, 65, 60, 62, 64}},
        {"D.S. al Coda",
         {whole("C"), sound("<segno/>", "segno=\"s\"") + whole("D"),
          whole("E") + sound("<words>To Coda</words>", "tocoda=\"coda\""),
          whole("F") + sound("<words>D.S. al Coda</words>", "dalsegno=\"s\""), sound("<coda/>", "coda=\"coda\"") + whole("G")},
         {60, 62, 64, 65, 62, 64, 67}},
    };
    for (const auto& row : rows) {
        const std::string text = xmlScore(row.measures);
        std::vector<char> bytes(text.begin(), text.end());
        OpenedPiece opened;
        ImportedPiece piece;
        std::string problem;
        ASSERT_TRUE(readImportedPiece(SourceKind::MusicXml, bytes, "form", opened.sink, piece) &&
                    buildAndOpen(piece, {}, "form", opened, problem))
            << row.form << ": " << problem;
        std::vector<int> keys;
        for (const Onset& note : playThrough(opened, problem))
            keys.push_back(note.key);
        EXPECT_EQ(keys, row.keys) << row.form;
    }
}

} // namespace
