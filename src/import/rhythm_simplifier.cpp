#include "import/rhythm_simplifier.h"

#include "import/note_values.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <utility>

namespace {

constexpr int64_t kBeat = kUnitsPerQuarter;
// Coarsest first: quarters, eighths, triplet eighths, 16ths, triplet 16ths,
// 32nds, triplet 32nds, then 64ths for a beat none of them fits. Each
// divides the beat, so every beat starts on every grid.
constexpr int64_t kSteps[] = {kBeat, kBeat / 2, kBeat / 3, kBeat / 4, kBeat / 6, kBeat / 8, kBeat / 12, kBeat / 16};
constexpr int64_t kPlainStep = kBeat / 16; // rests take only plain values
constexpr double kDefaultTempo = 120;
// Beyond any tempo music has, either way; keeps every time finite.
constexpr double kSlowest = 1e-3;
constexpr double kFastest = 1e7;
// Later than anything that can be written; whole numbers still hold it.
constexpr double kLatest = 0x1p52;

double unitsOf(int64_t ticks, int ticksPerQuarter)
{
    return std::clamp(double(ticks) * double(kBeat) / double(ticksPerQuarter), 0.0, kLatest);
}

int64_t below(double units, int64_t step)
{
    return int64_t(std::floor(units / double(step))) * step;
}

// Milliseconds from the start at a time in units, by the piece's tempos.
class TempoMap {
public:
    explicit TempoMap(const ImportedPiece& piece)
    {
        std::vector<std::pair<double, double>> changes; // units, quarters a minute
        for (const TempoChange& t : piece.tempos)
            if (t.quartersPerMinute > 0)
                changes.emplace_back(unitsOf(t.at, piece.ticksPerQuarter),
                                     std::clamp(t.quartersPerMinute, kSlowest, kFastest));
        std::stable_sort(changes.begin(), changes.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        m_spans.push_back({0, 0, msPerUnit(kDefaultTempo)});
        for (const auto& [at, tempo] : changes) {
            if (at > m_spans.back().units)
                m_spans.push_back({at, ms(at), 0});
            m_spans.back().msPerUnit = msPerUnit(tempo);
        }
    }

    double ms(double units) const
    {
        // The first span starts at 0 and no time is earlier.
        const auto after = std::upper_bound(m_spans.begin(), m_spans.end(), units,
                                            [](double u, const Span& s) { return u < s.units; });
        const Span& span = *(after - 1);
        return span.ms + (units - span.units) * span.msPerUnit;
    }

private:
    static double msPerUnit(double quartersPerMinute) { return 60000.0 / quartersPerMinute / double(kBeat); }

    struct Span {
        double units = 0;
        double ms = 0;
        double msPerUnit = 0;
    };
    std::vector<Span> m_spans;
};

// Notes that start together, as their chord will hold them.
struct Onset {
    double first = 0; // units, of its first note
    double last = 0;  // and of its last
    double firstMs = 0;
    double lastMs = 0;
    double end = 0; // where its longest note ends
    uint32_t firstTine = 0;
    uint32_t tineCount = 0;
    int lyric = -1;
};

int64_t beatOf(double units)
{
    return below(units, kBeat) / kBeat;
}

struct Point {
    int64_t at = -1; // -1 for none
    double errorMs = HUGE_VAL;
};

class Simplifier {
public:
    Simplifier(const ImportedPiece& piece, ChordTimeline& timeline) : m_piece(piece), m_map(piece), m_timeline(timeline) {}

    void group(const SourceVoice& voice, const std::vector<uint32_t>& order, const std::vector<int>& tines)
    {
        const int tpq = m_piece.ticksPerQuarter;
        for (uint32_t i : order) {
            const SourceNote& note = voice.notes[i];
            const double start = unitsOf(note.start, tpq);
            const double end = unitsOf(note.start + std::max<int64_t>(note.length, 0), tpq);
            const double ms = m_map.ms(start);
            if (m_onsets.empty() || ms - m_onsets.back().firstMs > kSimplifyLeewayMs)
                m_onsets.push_back({start, start, ms, ms, end, uint32_t(m_timeline.tines.size()), 0, -1});
            Onset& onset = m_onsets.back();
            onset.last = start;
            onset.lastMs = ms;
            onset.end = std::max(onset.end, end);
            if (onset.lyric < 0)
                onset.lyric = note.lyric;
            m_timeline.tines.push_back(uint8_t(tines[i]));
            ++onset.tineCount;
            ++m_timeline.notes;
        }
    }

    // Beat by beat, each onset on the beat's grid. An onset that finds no
    // point after the one before, even on the finest grid, joins that chord.
    void place()
    {
        std::vector<Chord>& chords = m_timeline.chords;
        int64_t after = -1;
        for (size_t i = 0; i < m_onsets.size();) {
            const int64_t beat = beatOf(m_onsets[i].first);
            size_t next = i + 1;
            while (next < m_onsets.size() && beatOf(m_onsets[next].first) == beat)
                ++next;
            const int64_t step = stepFor({m_onsets.data() + i, next - i}, after);
            m_beatSteps.emplace_back(beat, step);
            for (; i < next; ++i) {
                const Onset& onset = m_onsets[i];
                const Point point = closest(onset, step, after);
                if (point.at < 0) {
                    Chord& joined = chords.back(); // the first onset always has a point
                    joined.tineCount += onset.tineCount; // its tines follow, not yet sorted
                    if (joined.lyric < 0)
                        joined.lyric = onset.lyric;
                    m_ends.back() = std::max(m_ends.back(), onset.end);
                    continue;
                }
                chords.push_back({point.at, 0, onset.first, onset.firstTine, onset.tineCount, onset.lyric});
                m_ends.push_back(onset.end);
                m_chordSteps.push_back(step);
                after = point.at;
            }
        }
    }

    // A chord lasts at least a step of its grid, so that none vanishes.
    void placeEnds()
    {
        std::vector<Chord>& chords = m_timeline.chords;
        for (size_t c = 0; c < chords.size(); ++c)
            chords[c].end = std::max(endOnGrid(m_ends[c], m_chordSteps[c]), chords[c].start + m_chordSteps[c]);
    }

private:
    double errorMs(const Onset& onset, int64_t at) const
    {
        const double ms = m_map.ms(double(at));
        return std::max(std::abs(ms - onset.firstMs), std::abs(ms - onset.lastMs));
    }

    // The point of the step's grid after `after` closest to all the onset's
    // notes: one of the two around its first note, when either is after.
    // The first onset (nothing before, after -1) takes only a point of the
    // plain grid, where the rest before it can be written.
    Point closest(const Onset& onset, int64_t step, int64_t after) const
    {
        Point best;
        const int64_t low = below(onset.first, step);
        for (const int64_t at : {low, low + step}) {
            const bool open = at > after && (after >= 0 || at % kPlainStep == 0);
            const double error = open ? errorMs(onset, at) : HUGE_VAL;
            if (error < best.errorMs)
                best = {at, error};
        }
        return best;
    }

    // The coarsest step that puts every onset within the leeway, each after
    // the one before; the finest when none does.
    int64_t stepFor(std::span<const Onset> onsets, int64_t after) const
    {
        for (const int64_t step : kSteps) {
            int64_t last = after;
            bool fits = true;
            for (const Onset& onset : onsets) {
                const Point point = closest(onset, step, last);
                fits = point.errorMs <= kSimplifyLeewayMs;
                if (!fits)
                    break;
                last = point.at;
            }
            if (fits)
                return step;
        }
        return kPlainStep;
    }

    // On the grid of the beat the end falls in, where an onset chose one;
    // else on the chord's own: a note held through empty beats is read in
    // the values it began in, its release being less exact than its onset.
    int64_t endOnGrid(double end, int64_t ownStep) const
    {
        const int64_t beat = beatOf(end);
        const auto known = std::lower_bound(m_beatSteps.begin(), m_beatSteps.end(), std::pair{beat, int64_t(0)});
        const int64_t step = known != m_beatSteps.end() && known->first == beat ? known->second : ownStep;
        const int64_t low = below(end, step);
        return end - double(low) < double(low + step) - end ? low : low + step;
    }

    const ImportedPiece& m_piece;
    const TempoMap m_map;
    ChordTimeline& m_timeline;
    std::vector<Onset> m_onsets;
    std::vector<std::pair<int64_t, int64_t>> m_beatSteps; // beat, step; by beat
    std::vector<double> m_ends;        // of the chords, in units
    std::vector<int64_t> m_chordSteps; // the step each chord was placed with
};

} // namespace

void simplifyRhythm(const ImportedPiece& piece, const SourceVoice& voice, const std::vector<uint32_t>& order,
                    const std::vector<int>& tines, ChordTimeline& timeline)
{
    Simplifier simplifier(piece, timeline);
    simplifier.group(voice, order, tines);
    simplifier.place();
    simplifier.placeEnds();
}
