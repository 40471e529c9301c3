#include "import/value_split.h"

#include <algorithm>

namespace {

constexpr int64_t kStep = 4;
// Longer lengths are written as whole notes until this much is left, so
// that the tables stay small whatever a file states.
constexpr int64_t kLongestTable = 64 * 4 * kUnitsPerQuarter;

int afterValue(int state, bool triplet) { return triplet ? std::min(state + 1, 2) : state; }

} // namespace

void ValueSplitter::growTo(size_t steps)
{
    const size_t done = m_notes.size() / kStates;
    if (steps < done)
        return;
    m_notes.resize((steps + 1) * kStates);
    m_rests.resize((steps + 1) * kStates);
    if (done == 0) {
        at(0, 0, true).count = 0;
        at(0, 0, false).count = 0;
    }
    const std::span<const NoteValue> values = gridValues();
    for (size_t n = std::max<size_t>(done, 1); n <= steps; ++n)
        for (const bool note : {true, false})
            for (size_t v = 0; v < values.size(); ++v) {
                const size_t size = size_t(values[v].length / kStep);
                if (size > n || (values[v].triplet && !note))
                    continue;
                for (int from = 0; from < kStates; ++from) {
                    const Step& before = at(n - size, from, note);
                    Step& here = at(n, afterValue(from, values[v].triplet), note);
                    if (before.count != kNever && before.count + 1 < here.count)
                        here = {uint16_t(before.count + 1), uint8_t(v), uint8_t(from)};
                }
            }
}

bool ValueSplitter::split(int64_t length, bool note, bool loneTriplet, std::vector<NoteValue>& out)
{
    if (length <= 0 || length % kStep != 0)
        return false;
    const auto steps = size_t(length / kStep);
    if (steps >= kRemembered)
        return splitAnew(length, note, loneTriplet, out);
    if (m_remembered.empty())
        m_remembered.resize(kRemembered * 4);
    Remembered& split = m_remembered[steps * 4 + size_t(note) * 2 + size_t(loneTriplet)];
    if (!split.known) {
        const size_t first = m_splits.size();
        const bool written = splitAnew(length, note, loneTriplet, m_splits);
        split = {uint32_t(first), uint8_t(m_splits.size() - first), uint8_t(written ? 1 : 2)};
    }
    if (split.known != 1)
        return false;
    const auto from = m_splits.begin() + split.first;
    out.insert(out.end(), from, from + split.count);
    return true;
}

bool ValueSplitter::splitAnew(int64_t length, bool note, bool loneTriplet, std::vector<NoteValue>& out)
{
    const size_t first = out.size();
    const NoteValue whole{4 * kUnitsPerQuarter, 1, 0, false};
    const int64_t wholes = length > kLongestTable ? (length - kLongestTable + whole.length - 1) / whole.length : 0;
    const int64_t rest = length - wholes * whole.length;
    const size_t steps = size_t(rest / kStep);
    growTo(steps);
    int state = at(steps, 0, note).count <= at(steps, 2, note).count ? 0 : 2;
    if (loneTriplet && at(steps, 1, note).count < at(steps, state, note).count)
        state = 1;
    if (at(steps, state, note).count == kNever)
        return false;
    out.insert(out.end(), size_t(wholes), whole);
    const std::span<const NoteValue> values = gridValues();
    for (size_t n = steps; n > 0;) {
        const Step& step = at(n, state, note);
        out.push_back(values[step.value]);
        n -= size_t(values[step.value].length / kStep);
        state = step.from;
    }
    // Plain values longest first, then the triplets together: a few values,
    // sorted in place.
    const auto before = [](const NoteValue& a, const NoteValue& b) {
        return a.triplet != b.triplet ? !a.triplet : a.length > b.length;
    };
    for (size_t i = first + 1; i < out.size(); ++i)
        for (size_t j = i; j > first && before(out[j], out[j - 1]); --j)
            std::swap(out[j], out[j - 1]);
    return true;
}
