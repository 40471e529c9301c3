#include "import/playing_order.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr long kNone = -1;

struct Ending {
    size_t first = 0;
    size_t last = 0;
    const std::vector<int>* numbers = nullptr;
    bool repeats = false; // its last measure goes back to the section's start
    size_t group = 0;     // the first ending of its run
    size_t groupLast = 0; // the last measure of its run
};

std::string endingLabel(const std::vector<int>& numbers)
{
    std::string label;
    for (int n : numbers)
        label += (label.empty() ? "" : ", ") + std::to_string(n);
    return label + ".";
}

class OrderWalk {
public:
    explicit OrderWalk(const std::vector<MeasureMarks>& marks)
        : m_marks(marks), m_endingAt(marks.size(), kNone), m_inEnding(marks.size(), kNone),
          m_jumpTaken(marks.size(), false)
    {
        findEndings();
        findCodas();
    }

    std::vector<PlayedMeasure> run()
    {
        const size_t n = m_marks.size();
        const size_t cap = 8 * n + 64;
        size_t i = 0;
        while (i < n && m_out.size() < cap) {
            if (m_marks[i].repeatForward && !m_arrivedByJump)
                m_pass = 1;
            m_arrivedByJump = false;
            if (m_endingAt[i] != kNone && m_endings[size_t(m_endingAt[i])].group == size_t(m_endingAt[i])) {
                const long chosen = chooseEnding(size_t(m_endingAt[i]));
                if (chosen == kNone) {
                    i = m_endings[size_t(m_endingAt[i])].groupLast + 1;
                    m_pass = 1;
                    continue;
                }
                i = m_endings[size_t(chosen)].first;
                m_label = endingLabel(*m_endings[size_t(chosen)].numbers);
            }
            m_out.push_back({i, false, false, 2, std::move(m_label)});
            m_label.clear();
            i = next(i);
        }
        openKeptSections();
        return std::move(m_out);
    }

private:
    void findEndings()
    {
        const size_t n = m_marks.size();
        for (size_t i = 0; i < n; ++i) {
            if (m_marks[i].ending.empty())
                continue;
            Ending ending{i, i, &m_marks[i].ending};
            // An ending that never says where it stops is one measure long:
            // it does not reach into the next ending or section.
            for (size_t j = i; j < n; ++j) {
                if (j > i && (!m_marks[j].ending.empty() || m_marks[j].repeatForward))
                    break;
                if (m_marks[j].endingStop || m_marks[j].repeatBackward) {
                    ending.last = j;
                    break;
                }
            }
            ending.repeats = m_marks[ending.last].repeatBackward;
            const bool follows = !m_endings.empty() && m_endings.back().last + 1 == i;
            ending.group = follows ? m_endings.back().group : m_endings.size();
            m_endingAt[i] = long(m_endings.size());
            for (size_t j = i; j <= ending.last; ++j)
                m_inEnding[j] = long(m_endings.size());
            m_endings.push_back(ending);
            i = ending.last;
        }
        for (size_t e = m_endings.size(); e-- > 0;)
            m_endings[e].groupLast =
                e + 1 < m_endings.size() && m_endings[e + 1].group == m_endings[e].group ? m_endings[e + 1].groupLast
                                                                                          : m_endings[e].last;
    }

    // A coda sign with nothing said about it is the way out before the first
    // jump back, and where the music goes on after it.
    void findCodas()
    {
        size_t firstJump = m_marks.size();
        for (size_t i = 0; i < m_marks.size() && firstJump == m_marks.size(); ++i)
            if (m_marks[i].daCapo || m_marks[i].dalSegno)
                firstJump = i;
        m_toCoda.resize(m_marks.size());
        m_codaTarget.resize(m_marks.size());
        for (size_t i = 0; i < m_marks.size(); ++i) {
            const MeasureMarks& m = m_marks[i];
            m_toCoda[i] = m.toCoda || (m.codaSign && !m.coda && i < firstJump);
            m_codaTarget[i] = m.coda || (m.codaSign && !m.toCoda && i > firstJump);
        }
    }

    // The ending played on this pass, or none when the pass goes past them all.
    long chooseEnding(size_t group) const
    {
        const bool repeating = !m_jumped || m_marks[repeatOf(group)].afterJump;
        long chosen = kNone;
        for (size_t e = group; e < m_endings.size() && m_endings[e].group == group; ++e) {
            const std::vector<int>& numbers = *m_endings[e].numbers;
            if (repeating ? std::find(numbers.begin(), numbers.end(), m_pass) != numbers.end() : !m_endings[e].repeats)
                chosen = long(e);
            if (repeating && chosen != kNone)
                break;
        }
        return chosen;
    }

    // The measure whose backward repeat closes the run of endings from group.
    size_t repeatOf(size_t group) const
    {
        for (size_t e = group; e < m_endings.size() && m_endings[e].group == group; ++e)
            if (m_endings[e].repeats)
                return m_endings[e].last;
        return m_endings[group].last;
    }

    // How many passes a run of endings is played for: its highest number, or
    // as many as its repeat says.
    int passesOf(size_t group) const
    {
        int highest = 1;
        for (size_t e = group; e < m_endings.size() && m_endings[e].group == group; ++e)
            for (int number : *m_endings[e].numbers)
                highest = std::max(highest, number);
        return std::max(highest, m_marks[repeatOf(group)].times);
    }

    // Where the section that closes at or before from opens: its forward
    // repeat, else just after the section or the endings before it, else the start.
    size_t sectionStart(long from) const
    {
        for (long k = from; k >= 0; --k) {
            const size_t at = size_t(k);
            if (m_marks[at].repeatForward)
                return at;
            if (k < from) {
                const long ending = m_inEnding[at];
                if (m_marks[at].repeatBackward || (ending != kNone && m_endings[size_t(ending)].groupLast == at))
                    return at + 1;
            }
        }
        return 0;
    }

    // The measure played after measure i, which has just been played.
    size_t next(size_t i)
    {
        const MeasureMarks& m = m_marks[i];
        if (m_jumped && m.fine && !m_alCoda)
            return m_marks.size();
        if (m_jumped && m_toCoda[i] && !m_codaTaken && !m_alFine) {
            const auto target = std::find(m_codaTarget.begin() + long(i) + 1, m_codaTarget.end(), true);
            if (target != m_codaTarget.end()) {
                m_codaTaken = true;
                return jump(size_t(target - m_codaTarget.begin()), "Coda");
            }
        }
        const long ending = m_inEnding[i];
        if (m.repeatBackward && (!m_jumped || m.afterJump)) {
            if (ending == kNone) {
                m_out.back().close = true; // kept as a repeat
                m_out.back().times = m.times;
            } else if (i == m_endings[size_t(ending)].last &&
                       m_pass < passesOf(m_endings[size_t(ending)].group)) {
                ++m_pass;
                m_arrivedByJump = true;
                return sectionStart(long(m_endings[m_endings[size_t(ending)].group].first) - 1);
            }
        }
        if ((m.daCapo || m.dalSegno) && !m_jumpTaken[i]) {
            m_jumpTaken[i] = true;
            m_alFine = m.alFine;
            m_alCoda = m.alCoda;
            if (m.daCapo)
                return jump(0, "D.C.");
            if (const long segno = segnoBefore(i); segno != kNone)
                return jump(size_t(segno), "D.S.");
        }
        if (ending != kNone && i == m_endings[size_t(ending)].last) {
            m_pass = 1;
            return m_endings[size_t(ending)].groupLast + 1;
        }
        return i + 1;
    }

    size_t jump(size_t to, const char* label)
    {
        m_jumped = true;
        m_pass = 1;
        m_arrivedByJump = true;
        m_label = label;
        return to;
    }

    // The segno a dal segno at i goes back to: the last one before it, else the first.
    long segnoBefore(size_t i) const
    {
        long found = kNone;
        for (size_t k = 0; k < m_marks.size(); ++k)
            if (m_marks[k].segno && (found == kNone || k <= i))
                found = long(k);
        return found;
    }

    // A kept section that does not open at the start of the music is given
    // its opening mark, so that playback goes back to where the score says.
    void openKeptSections()
    {
        for (size_t k = 0; k < m_out.size(); ++k) {
            if (!m_out[k].close)
                continue;
            const size_t start = sectionStart(long(m_out[k].measure));
            for (size_t j = k + 1; j-- > 0;) {
                if (m_out[j].measure == start) {
                    if (j > 0 || m_marks[start].repeatForward)
                        m_out[j].open = true;
                    break;
                }
                if (j == 0 || m_out[j - 1].measure + 1 != m_out[j].measure)
                    break;
            }
        }
    }

    const std::vector<MeasureMarks>& m_marks;
    std::vector<Ending> m_endings;
    std::vector<long> m_endingAt;  // the ending starting at each measure
    std::vector<long> m_inEnding;  // the ending holding each measure
    std::vector<bool> m_jumpTaken; // by the measure that jumps
    std::vector<bool> m_toCoda;
    std::vector<bool> m_codaTarget;
    std::vector<PlayedMeasure> m_out;
    std::string m_label;
    int m_pass = 1;
    bool m_jumped = false;
    bool m_arrivedByJump = false;
    bool m_codaTaken = false;
    bool m_alFine = false; // what the last jump goes on to
    bool m_alCoda = false;
};

} // namespace

std::vector<PlayedMeasure> playingOrder(const std::vector<MeasureMarks>& marks)
{
    return OrderWalk(marks).run();
}
