#include "import/chord_timeline.h"

#include "import/note_values.h"
#include "import/rhythm_simplifier.h"

#include <algorithm>
#include <cmath>

namespace {

// The onset grid: 64th notes and triplet 32nds, both counted from the start.
constexpr int64_t kPlainStep = kUnitsPerQuarter / 16;
constexpr int64_t kTripletStep = kUnitsPerQuarter / 12;
// Two onsets closer than the shortest written value cannot both be written.
constexpr int64_t kShortest = kUnitsPerQuarter / 24;
constexpr int64_t kSixteenth = kUnitsPerQuarter / 4;

// std::llround (halves away from zero) without its call: every note's times
// are rounded several times. Exact wherever a double still has a fraction.
int64_t roundHalfAway(double x)
{
    if (!(std::abs(x) < 0x1p52))
        return std::llround(x);
    const auto whole = int64_t(x);
    const double rest = x - double(whole);
    return whole + (rest >= 0.5) - (rest <= -0.5);
}

int64_t roundTo(double units, int64_t step)
{
    return roundHalfAway(units / double(step)) * step;
}

} // namespace

int64_t onOnsetGrid(double units)
{
    const int64_t plain = roundTo(units, kPlainStep);
    const int64_t triplet = roundTo(units, kTripletStep);
    return std::abs(double(plain) - units) <= std::abs(double(triplet) - units) ? plain : triplet;
}

namespace {

double exactUnits(int64_t ticks, int ticksPerQuarter)
{
    return double(ticks) * double(kUnitsPerQuarter) / double(ticksPerQuarter);
}

class ChordGrouping {
public:
    ChordGrouping(const ImportedPiece& piece, ChordTimeline& timeline) : m_piece(piece), m_timeline(timeline) {}

    void add(const SourceNote& note, int tine)
    {
        const double start = exactUnits(note.start, m_piece.ticksPerQuarter);
        const double end = exactUnits(note.start + std::max<int64_t>(note.length, 0), m_piece.ticksPerQuarter);
        const int64_t onset = place(start);
        const int64_t ending = place(end);
        if (m_timeline.chords.empty() || !startsTogether(note, onset)) {
            m_timeline.chords.push_back({onset, ending, start, uint32_t(m_timeline.tines.size()), 0, -1});
            m_groupTick = note.start;
        }
        Chord& chord = m_timeline.chords.back();
        chord.end = std::max(chord.end, ending);
        if (chord.lyric < 0)
            chord.lyric = note.lyric;
        m_timeline.tines.push_back(uint8_t(tine));
        ++chord.tineCount;
        ++m_timeline.notes;
    }

    // Tines in order, each once.
    void tidy()
    {
        std::vector<uint8_t>& tines = m_timeline.tines;
        size_t out = 0;
        for (Chord& chord : m_timeline.chords) {
            auto first = tines.begin() + long(chord.firstTine);
            auto last = first + long(chord.tineCount);
            std::sort(first, last);
            last = std::unique(first, last);
            const size_t count = size_t(last - first);
            std::move(first, last, tines.begin() + long(out));
            chord.firstTine = uint32_t(out);
            chord.tineCount = uint32_t(count);
            out += count;
        }
        tines.resize(out);
    }

private:
    int64_t place(double units) const { return onOnsetGrid(units); }

    bool startsTogether(const SourceNote& note, int64_t onset) const
    {
        const Chord& chord = m_timeline.chords.back();
        // Written notes share a chord only at one onset: a note marked as part
        // of a chord whose first note was dropped starts its own.
        if (!m_piece.quantise)
            return onset == chord.start;
        // Within a 32nd of a quarter of the group's first note, or on the same
        // grid point, or too close after it to be written apart.
        return note.start - m_groupTick <= m_piece.ticksPerQuarter / 32 || onset - chord.start < kShortest;
    }

    const ImportedPiece& m_piece;
    ChordTimeline& m_timeline;
    int64_t m_groupTick = 0;
};

// Whether a note of this length can be written exactly: two onsets of
// different grids closer than an eighth triplet cannot.
bool writableNote(int64_t length)
{
    return length % 4 == 0 && length != 4 && length != 8 && length != 20;
}

// Moves onsets so that every chord can be written exactly: an onset too
// close to the one before on the other grid goes onto that one's grid (or
// joins its chord), and the first onset onto the plain grid, for the rest
// before it. Both round the file's own onset, not the one already on a grid,
// so that no onset moves more than half a step of the grid it ends on.
void alignOnsets(std::vector<Chord>& chords)
{
    size_t kept = 0;
    for (size_t i = 0; i < chords.size(); ++i) {
        Chord& chord = chords[i]; // kept <= i: nothing kept lies ahead of it
        if (kept == 0) {
            if (chord.start % kPlainStep != 0)
                chord.start = roundTo(chord.exact, kPlainStep);
        } else {
            const Chord& before = chords[kept - 1];
            if (!writableNote(chord.start - before.start)) {
                const int64_t step = before.start % kPlainStep == 0 ? kPlainStep : kTripletStep;
                chord.start = std::max(before.start, roundTo(chord.exact, step));
            }
            if (chord.start == before.start) {
                Chord& joined = chords[kept - 1];
                joined.end = std::max(joined.end, chord.end);
                joined.tineCount += chord.tineCount; // their tines follow, not yet sorted
                if (joined.lyric < 0)
                    joined.lyric = chord.lyric;
                continue;
            }
        }
        chord.end = std::max(chord.end, chord.start);
        if (kept != i)
            chords[kept] = chord;
        ++kept;
    }
    chords.resize(kept);
}

// Each chord ends where the next begins, unless a gap long enough for a rest
// lies between. Played MIDI notes end a little early, so there a gap under a
// quarter of the chord's span is taken as part of the note. A rest must be a
// whole number of 64ths, and end on that grid, to be written exactly.
void resolveEnds(std::vector<Chord>& chords, bool played)
{
    for (size_t i = 0; i < chords.size(); ++i) {
        Chord& chord = chords[i];
        chord.end = std::max(chord.end, chord.start + kPlainStep);
        if (i + 1 == chords.size()) {
            // Nothing follows to measure the last note against: its end is
            // read to the nearest 16th.
            chord.end = std::max(roundTo(double(chord.end), kSixteenth), chord.start + kPlainStep);
            break;
        }
        const int64_t next = chords[i + 1].start;
        const int64_t gap = next - chord.end;
        const int64_t rest = gap > 0 ? gap / kPlainStep * kPlainStep : 0;
        const bool joins = rest == 0 || next % kPlainStep != 0 || (played && gap * 4 < next - chord.start) ||
                           !writableNote(next - rest - chord.start);
        chord.end = joins ? next : next - rest;
    }
}

// Each mark's text goes on the first chord from its time, before the next
// mark, unless that chord has a lyric of its own.
void labelChords(std::vector<Chord>& chords, const ImportedPiece& piece)
{
    const auto& marks = piece.marks;
    for (size_t m = 0; m < marks.size(); ++m) {
        const int64_t at = onOnsetGrid(exactUnits(marks[m].at, piece.ticksPerQuarter));
        const auto chord = std::lower_bound(chords.begin(), chords.end(), at,
                                            [](const Chord& c, int64_t t) { return c.start < t; });
        const bool beforeNext = m + 1 == marks.size() ||
                                (chord != chords.end() &&
                                 chord->start < onOnsetGrid(exactUnits(marks[m + 1].at, piece.ticksPerQuarter)));
        if (chord != chords.end() && beforeNext && chord->lyric < 0)
            chord->lyric = marks[m].lyric;
    }
}

} // namespace

int64_t unitsOfTicks(int64_t ticks, int ticksPerQuarter)
{
    return roundHalfAway(exactUnits(ticks, ticksPerQuarter));
}

ChordTimeline buildChords(const ImportedPiece& piece, const SourceVoice& voice, const std::vector<int>& tines,
                          ImportRhythm rhythm)
{
    std::vector<uint32_t> order;
    order.reserve(voice.notes.size());
    for (uint32_t i = 0; i < voice.notes.size(); ++i)
        if (i < tines.size() && tines[i] > 0)
            order.push_back(i);
    const auto earlier = [&voice](uint32_t a, uint32_t b) { return voice.notes[a].start < voice.notes[b].start; };
    if (!std::is_sorted(order.begin(), order.end(), earlier)) // files mostly hold them in order
        std::stable_sort(order.begin(), order.end(), earlier);

    ChordTimeline timeline;
    timeline.tines.reserve(order.size());
    ChordGrouping grouping(piece, timeline);
    if (rhythm == ImportRhythm::Simplified) {
        simplifyRhythm(piece, voice, order, tines, timeline);
    } else {
        for (uint32_t i : order)
            grouping.add(voice.notes[i], tines[i]);
        alignOnsets(timeline.chords);
    }
    grouping.tidy();
    resolveEnds(timeline.chords, piece.quantise);
    labelChords(timeline.chords, piece);
    return timeline;
}
