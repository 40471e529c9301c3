#include "view/band_index.h"

#include "xml/xpxml_node.h"

#include <algorithm>
#include <climits>
#include <functional>
#include <utility>

namespace {

// a - b, held at the ends of the range: the open ends of a stretch stay open.
int64_t minus(int64_t a, int64_t b)
{
    int64_t difference = 0;
    if (__builtin_sub_overflow(a, b, &difference))
        return b < 0 ? INT64_MAX : INT64_MIN;
    return difference;
}

} // namespace

void BandIndex::clear(const XPxmlNode* noteList)
{
    m_list = noteList;
    m_childCount = noteList ? noteList->childCount() : 0;
    m_children.clear();
    m_heights.clear();
    m_addedBottoms.clear();
    m_addedHeights.clear();
}

void BandIndex::add(uint32_t child, int64_t top, int64_t height)
{
    // Neighbours mostly share their height: that one is looked at first.
    if (m_lastHeight >= m_heights.size() || m_heights[m_lastHeight].height != height) {
        const auto same = [height](const Height& h) { return h.height == height; };
        m_lastHeight = uint32_t(std::find_if(m_heights.begin(), m_heights.end(), same) - m_heights.begin());
        if (m_lastHeight == m_heights.size())
            m_heights.push_back({height, 0, 0});
    }
    ++m_heights[m_lastHeight].end; // a count until finish
    m_children.push_back(child);
    m_addedBottoms.push_back(top + height);
    m_addedHeights.push_back(m_lastHeight);
}

void BandIndex::finish()
{
    const auto count = uint32_t(m_children.size());
    uint32_t begin = 0;
    for (Height& height : m_heights) {
        height.begin = begin;
        begin += height.end;
        height.end = height.begin;
    }
    m_order.resize(count);
    m_bottoms.resize(count);
    for (uint32_t number = 0; number < count; ++number) {
        const uint32_t at = m_heights[m_addedHeights[number]].end++;
        m_order[at] = number;
        m_bottoms[at] = m_addedBottoms[number];
    }
    for (const Height& height : m_heights)
        sortByBottom(height.begin, height.end);
    // Inner nodes only: the leaves are m_order itself.
    m_least.resize(count);
    m_greatest.resize(count);
    for (size_t i = size_t(count) - 1; count > 1 && i > 0; --i) {
        m_least[i] = pick(End::First, node(m_least, 2 * i), node(m_least, 2 * i + 1));
        m_greatest[i] = pick(End::Last, node(m_greatest, 2 * i), node(m_greatest, 2 * i + 1));
    }
}

void BandIndex::sortByBottom(uint32_t begin, uint32_t end)
{
    const auto bottoms = m_bottoms.begin();
    const auto order = m_order.begin();
    if (std::is_sorted(bottoms + begin, bottoms + end))
        return;
    if (std::is_sorted(bottoms + begin, bottoms + end, std::greater<>())) {
        // In order bands rise along the list: turned round, with the
        // elements of one bottom put back in list order.
        std::reverse(bottoms + begin, bottoms + end);
        std::reverse(order + begin, order + end);
        for (uint32_t run = begin, next = begin; run < end; run = next) {
            while (next < end && m_bottoms[next] == m_bottoms[run])
                ++next;
            std::reverse(order + run, order + next);
        }
        return;
    }
    std::stable_sort(order + begin, order + end,
                     [this](uint32_t a, uint32_t b) { return m_addedBottoms[a] < m_addedBottoms[b]; });
    for (uint32_t i = begin; i < end; ++i)
        m_bottoms[i] = m_addedBottoms[m_order[i]];
}

bool BandIndex::describes(const XPxmlNode* noteList) const
{
    return noteList && noteList == m_list && noteList->childCount() == m_childCount;
}

BandIndex::Found BandIndex::found(uint32_t number) const
{
    if (number >= m_children.size())
        return {};
    const uint32_t child = m_children[number];
    return {m_list->childAt(child), child};
}

BandIndex::Stretch BandIndex::bottoms(const Height& height, int64_t from, int64_t to) const
{
    if (from > to)
        return {0, 0};
    const auto begin = m_bottoms.begin() + height.begin;
    const auto end = m_bottoms.begin() + height.end;
    const auto low = std::lower_bound(begin, end, minus(from, m_origin));
    const auto high = std::upper_bound(low, end, minus(to, m_origin));
    return {uint32_t(low - m_bottoms.begin()), uint32_t(high - m_bottoms.begin())};
}

uint32_t BandIndex::pick(End end, uint32_t a, uint32_t b)
{
    if (a == kNone || b == kNone)
        return a == kNone ? b : a;
    return end == End::First ? std::min(a, b) : std::max(a, b);
}

uint32_t BandIndex::endOf(End end, Stretch stretch) const
{
    const std::vector<uint32_t>& tree = end == End::First ? m_least : m_greatest;
    uint32_t best = kNone;
    const size_t n = m_order.size();
    for (size_t low = stretch.begin + n, high = stretch.end + n; low < high; low /= 2, high /= 2) {
        if (low & 1)
            best = pick(end, best, node(tree, low++));
        if (high & 1)
            best = pick(end, best, node(tree, --high));
    }
    return best;
}

template <typename Select>
BandIndex::Found BandIndex::endOver(const XPxmlNode* noteList, End end, Select select) const
{
    if (!describes(noteList))
        return {};
    uint32_t best = kNone;
    for (const Height& height : m_heights) {
        const auto [from, to] = select(height.height);
        best = pick(end, best, endOf(end, bottoms(height, from, to)));
    }
    return found(best);
}

template <typename Select, typename Key>
BandIndex::Found BandIndex::leastOver(const XPxmlNode* noteList, Select select, Key key) const
{
    if (!describes(noteList))
        return {};
    uint32_t best = kNone;
    int64_t bestKey = 0;
    for (const Height& height : m_heights) {
        const auto [from, to] = select(height.height);
        const Stretch stretch = bottoms(height, from, to);
        if (stretch.empty())
            continue;
        const int64_t k = key(m_bottoms[stretch.begin] + m_origin, height.height);
        const uint32_t number = m_order[stretch.begin];
        if (best == kNone || k < bestKey || (k == bestKey && number < best)) {
            best = number;
            bestKey = k;
        }
    }
    return found(best);
}

// Each query below names, for a band of height h, the bottoms of the bands it
// asks for: a band's top lies h rows above its bottom.

BandIndex::Found BandIndex::firstReaching(const XPxmlNode* noteList, int64_t y) const
{
    return endOver(noteList, End::First, [y](int64_t h) { return std::pair(INT64_MIN, y + h); });
}

BandIndex::Found BandIndex::firstMeeting(const XPxmlNode* noteList, int64_t top, int64_t bottom) const
{
    return endOver(noteList, End::First, [=](int64_t h) { return std::pair(top, bottom + h); });
}

BandIndex::Found BandIndex::lastMeeting(const XPxmlNode* noteList, int64_t top, int64_t bottom) const
{
    return endOver(noteList, End::Last, [=](int64_t h) { return std::pair(top, bottom + h); });
}

BandIndex::Found BandIndex::firstInside(const XPxmlNode* noteList, int64_t top, int64_t bottom) const
{
    return endOver(noteList, End::First, [=](int64_t h) { return std::pair(top + h, bottom); });
}

BandIndex::Found BandIndex::overRow(const XPxmlNode* noteList, int64_t y) const
{
    return leastOver(
        noteList, [y](int64_t h) { return std::pair(y + 1, y + h); }, [](int64_t bottom, int64_t) { return bottom; });
}

BandIndex::Found BandIndex::nextBelow(const XPxmlNode* noteList, int64_t y) const
{
    return leastOver(
        noteList, [y](int64_t h) { return std::pair(y + h + 1, INT64_MAX); },
        [](int64_t bottom, int64_t h) { return bottom - h; });
}

BandIndex::Found BandIndex::endingOn(const XPxmlNode* noteList, int64_t y) const
{
    return endOver(noteList, End::First, [y](int64_t) { return std::pair(y, y); });
}
