#include "import/measure_writer.h"

#include "import/value_split.h"
#include "import/written_tempo.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace {

constexpr int kMaxRepeatCount = 99;
constexpr int64_t kWhole = 4 * kUnitsPerQuarter;

struct Meter {
    int64_t at = 0;
    int beats = 4;
    int unit = 4;
    int64_t length() const { return int64_t(beats) * kWhole / unit; }
    bool sameAs(const Meter& other) const { return beats == other.beats && unit == other.unit; }
};

// A stretch of one measure: a piece of a chord, or a rest (chord -1).
struct Segment {
    int64_t start = 0;
    int64_t end = 0;
    long chord = -1;
    bool continues = false; // the chord goes on past the measure's end
};

struct Token {
    NoteValue value;
    size_t segment = 0;
    bool firstOfSegment = false;
};

// The piece's times as units, and the measures they make.
class MeasurePlan {
public:
    explicit MeasurePlan(const ImportedPiece& piece)
    {
        const int tpq = piece.ticksPerQuarter;
        for (const MeterChange& m : piece.meters)
            m_meters.push_back({unitsOfTicks(m.at, tpq), m.beats, m.unit});
        std::stable_sort(m_meters.begin(), m_meters.end(), [](const Meter& a, const Meter& b) { return a.at < b.at; });
        for (int64_t start : piece.measureStarts)
            m_starts.push_back(onOnsetGrid(double(unitsOfTicks(start, tpq))));
        std::sort(m_starts.begin(), m_starts.end());
        for (const RepeatMark& r : piece.repeats)
            m_repeats.push_back({unitsOfTicks(r.at, tpq), r.open, r.times});
        std::stable_sort(m_repeats.begin(), m_repeats.end(),
                         [](const RepeatMark& a, const RepeatMark& b) { return a.at < b.at; });
    }

    int64_t lastStatedStart() const { return m_starts.empty() ? 0 : m_starts.back(); }

    Meter meterAt(int64_t at) const
    {
        const auto after = std::upper_bound(m_meters.begin(), m_meters.end(), at,
                                            [](int64_t t, const Meter& m) { return t < m.at; });
        return after == m_meters.begin() ? Meter{} : *(after - 1);
    }

    // Where the measure from start ends: the next stated measure start, else
    // a measure of the time signature, cut short by a change of signature.
    int64_t measureEnd(int64_t start) const
    {
        const auto stated = std::upper_bound(m_starts.begin(), m_starts.end(), start);
        if (stated != m_starts.end())
            return *stated;
        return std::min(start + meterAt(start).length(), nextMeterChange(start));
    }

    // The first time signature change after at; the largest time when none.
    int64_t nextMeterChange(int64_t at) const
    {
        const auto change = std::upper_bound(m_meters.begin(), m_meters.end(), at,
                                             [](int64_t t, const Meter& m) { return t < m.at; });
        return change == m_meters.end() ? std::numeric_limits<int64_t>::max() : change->at;
    }

    // How many stated measures begin before end, and where the last of them
    // begins (0 when none does).
    std::pair<long long, int64_t> statedMeasuresBefore(int64_t end) const
    {
        const auto past = std::lower_bound(m_starts.begin(), m_starts.end(), end);
        const auto count = past - m_starts.begin();
        return {count, count > 0 ? *(past - 1) : 0};
    }

    // Bars come in time order: the marks up to at are used up here.
    void markRepeats(WrittenBar& bar, int64_t at)
    {
        bool open = false, close = false;
        int times = 2;
        for (; m_nextRepeat < m_repeats.size() && m_repeats[m_nextRepeat].at <= at; ++m_nextRepeat) {
            const RepeatMark& r = m_repeats[m_nextRepeat];
            if (r.open && r.at != at)
                continue; // a section cannot open inside a measure
            if (r.open)
                open = true;
            else if (r.times > 1) { // a section played once is no repeat
                close = true;
                times = r.times;
            }
        }
        bar.modifier = open && close ? RepeatModifier::Both
                       : open        ? RepeatModifier::Open
                       : close       ? RepeatModifier::Close
                                     : RepeatModifier::None;
        if (close && times != 2)
            bar.repeatCount = std::min(times - 1, kMaxRepeatCount);
    }

private:
    std::vector<Meter> m_meters;
    std::vector<int64_t> m_starts;
    std::vector<RepeatMark> m_repeats;
    size_t m_nextRepeat = 0;
};

class MeasureWriter {
public:
    MeasureWriter(const ImportedPiece& piece, const ChordTimeline& timeline, WrittenMusic& out)
        : m_plan(piece), m_tempo(piece), m_timeline(timeline), m_out(out)
    {
        const auto& chords = timeline.chords;
        m_end = std::max(chords.empty() ? 0 : chords.back().end, m_plan.lastStatedStart());
    }

    bool run()
    {
        if (!fitsInBars())
            return false;
        WrittenBar opening;
        opening.opening = true;
        setMeter(opening, m_plan.meterAt(0), true);
        opening.tempo = m_tempo.opening(m_tempo.nextChange(0, m_plan.measureEnd(0)));
        m_plan.markRepeats(opening, 0);
        m_out.addBar(opening);
        for (int64_t start = 0; start < m_end;) {
            const int64_t end = std::min(m_plan.measureEnd(start), m_end);
            const int64_t written = writeMeasure(start, end);
            // The closing bar of the music is never moved: its measure may be short.
            closeMeasure(start, end, written == m_plan.meterAt(start).length() || end == m_end);
            start = end;
        }
        return true;
    }

private:
    // Counted before anything is written, span by span, so that a hostile
    // file costs no more than its time signatures.
    bool fitsInBars() const
    {
        const auto [stated, from] = m_plan.statedMeasuresBefore(m_end);
        const long allowed = barsAllowed(m_timeline.chords.size());
        long long bars = stated;
        for (int64_t start = from; start < m_end && bars <= allowed;) {
            const int64_t length = m_plan.meterAt(start).length();
            const int64_t until = std::min(m_plan.nextMeterChange(start), m_end);
            const int64_t count = (until - start + length - 1) / length;
            bars += count;
            start = std::min(start + count * length, until);
        }
        return bars <= allowed;
    }

    void setMeter(WrittenBar& bar, const Meter& meter, bool sets)
    {
        bar.beats = meter.beats;
        bar.unit = meter.unit;
        bar.setsTiming = sets;
    }

    void closeMeasure(int64_t start, int64_t end, bool full)
    {
        WrittenBar bar;
        bar.fullMeasure = full;
        const Meter before = m_plan.meterAt(start);
        const Meter after = m_plan.meterAt(end);
        setMeter(bar, after, !after.sameAs(before));
        bar.tempo = m_tempo.atBar(end, m_tempo.nextChange(end, m_plan.measureEnd(end)));
        m_plan.markRepeats(bar, end);
        m_out.addBar(bar);
    }

    // The measure's chord pieces and the rests between them.
    void collectSegments(int64_t start, int64_t end)
    {
        m_segments.clear();
        int64_t at = start;
        const auto& chords = m_timeline.chords;
        while (m_chord < chords.size() && chords[m_chord].start < end) {
            const Chord& chord = chords[m_chord];
            if (chord.end > at) {
                const int64_t from = std::max(chord.start, at);
                if (from > at)
                    m_segments.push_back({at, from, -1, false});
                const int64_t to = std::min(chord.end, end);
                m_segments.push_back({from, to, long(m_chord), chord.end > end});
                at = to;
            }
            if (chord.end > end)
                break;
            ++m_chord;
        }
        if (at < end)
            m_segments.push_back({at, end, -1, false});
    }

    // A change of tempo inside a held note or rest lands where the file has
    // it: the piece is cut there (a note's pieces tied), when both halves can
    // be written exactly at the grid point nearest the change.
    void cutAtTempoChanges()
    {
        for (size_t i = 0; i < m_segments.size(); ++i) {
            Segment& segment = m_segments[i];
            for (int64_t change : m_tempo.changesWithin(segment.start, segment.end)) {
                const int64_t cut = writableCut(segment, change);
                if (cut <= segment.start || cut >= segment.end)
                    continue;
                Segment later = segment;
                later.start = cut;
                segment.end = cut;
                segment.continues = segment.chord >= 0;
                m_segments.insert(m_segments.begin() + long(i) + 1, later);
                break; // the later piece is cut at its own changes next
            }
        }
    }

    int64_t writableCut(const Segment& segment, int64_t change)
    {
        const bool note = segment.chord >= 0;
        for (const int64_t step : {kUnitsPerQuarter / 16, kUnitsPerQuarter / 12}) {
            const int64_t cut = (change + step / 2) / step * step;
            if (cut <= segment.start || cut >= segment.end)
                continue;
            m_values.clear();
            if (m_splitter.split(cut - segment.start, note, true, m_values) &&
                m_splitter.split(segment.end - cut, note, true, m_values))
                return cut;
        }
        return segment.start;
    }

    // A piece that cannot be written exactly (a rare mix of the two grids,
    // or a rest off the plain grid) is written as close as one value gets;
    // a note's piece always, so that no chord is lost.
    void writeClosest(size_t segment, int64_t room, bool note)
    {
        if (note) {
            m_tokens.push_back({closestValue(std::max<int64_t>(room, 1), false), segment, true});
            return;
        }
        for (const NoteValue& value : gridValues())
            if (!value.triplet && value.length <= room) {
                m_tokens.push_back({value, segment, true});
                return;
            }
    }

    // Returns the units written.
    int64_t writeMeasure(int64_t start, int64_t end)
    {
        collectSegments(start, end);
        cutAtTempoChanges();
        m_measureEnd = end;
        m_strict.assign(m_segments.size(), false);
        int64_t written = splitSegments(start);
        // A triplet with no other beside it would lose its mark: its piece
        // is split again without one, which needs no second look.
        bool again = false;
        for (size_t k = 0; k < m_tokens.size(); ++k)
            if (isTriplet(k) && !isTriplet(k - 1) && !isTriplet(k + 1))
                again = m_strict[m_tokens[k].segment] = true;
        if (again)
            written = splitSegments(start);
        emitTokens(start);
        return written;
    }

    int64_t splitSegments(int64_t start)
    {
        m_tokens.clear();
        int64_t at = start;
        for (size_t i = 0; i < m_segments.size(); ++i) {
            const Segment& segment = m_segments[i];
            const bool note = segment.chord >= 0;
            const int64_t room = segment.end - at;
            const size_t first = m_tokens.size();
            m_values.clear();
            if (m_splitter.split(room, note, !m_strict[i], m_values))
                for (const NoteValue& value : m_values)
                    m_tokens.push_back({value, i, m_tokens.size() == first});
            else
                writeClosest(i, room, note);
            for (size_t k = first; k < m_tokens.size(); ++k)
                at += m_tokens[k].value.length;
        }
        return at - start;
    }

    void emitTokens(int64_t start)
    {
        int64_t at = start;
        for (size_t k = 0; k < m_tokens.size(); ++k) {
            const Token& token = m_tokens[k];
            const Segment& segment = m_segments[token.segment];
            WrittenNote note;
            note.value = token.value;
            note.tempo = m_tempo.atNote(at, m_tempo.nextChange(at, m_measureEnd));
            at += token.value.length;
            if (segment.chord < 0) {
                note.rest = true;
                m_out.addNote(note);
                continue;
            }
            const Chord& chord = m_timeline.chords[size_t(segment.chord)];
            const bool moreOfSegment = k + 1 < m_tokens.size() && m_tokens[k + 1].segment == token.segment;
            note.tie = moreOfSegment || segment.continues;
            note.tuplet = tupletLetter(k);
            note.tines = m_timeline.tines.data() + chord.firstTine;
            note.tineCount = chord.tineCount;
            if (token.firstOfSegment && segment.start == chord.start)
                note.lyric = chord.lyric;
            m_out.addNote(note);
        }
    }

    bool isTriplet(size_t k) const
    {
        return k < m_tokens.size() && m_tokens[k].value.triplet && m_segments[m_tokens[k].segment].chord >= 0;
    }

    char tupletLetter(size_t k) const
    {
        if (!isTriplet(k))
            return '\0';
        const bool before = k > 0 && isTriplet(k - 1);
        const bool after = isTriplet(k + 1);
        return before && after ? 'Y' : before ? 'L' : 'F';
    }

    MeasurePlan m_plan;
    WrittenTempo m_tempo;
    int64_t m_measureEnd = 0;
    const ChordTimeline& m_timeline;
    WrittenMusic& m_out;
    int64_t m_end = 0;
    size_t m_chord = 0;
    std::vector<Segment> m_segments;
    std::vector<Token> m_tokens;
    std::vector<NoteValue> m_values;
    std::vector<bool> m_strict; // segments split without a lone triplet
    ValueSplitter m_splitter;
};

} // namespace

long barsAllowed(size_t chords)
{
    constexpr long kBarsAtLeast = 1000;
    constexpr long kBarsPerChord = 16;
    return long(std::min<size_t>(size_t(kMaxImportedBars), kBarsAtLeast + kBarsPerChord * chords));
}

bool writeMeasures(const ImportedPiece& piece, const ChordTimeline& timeline, WrittenMusic& out)
{
    return MeasureWriter(piece, timeline, out).run();
}
