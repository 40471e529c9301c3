#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class XPxmlNode;

// Which elements of a laid-out note list have their bands on given rows,
// found by halving whatever order the layout put the bands in: along the
// list they may rise, fall back or overlap (fixed measure sizes, negative
// spacings). Rows are document rows, growing downwards; a band's rows run
// from its top to its bottom (top + height), both included.
//
// Bands come in a handful of heights (a head, dotted heads, the kinds of
// bar), and the bands of one height that meet given rows are those whose
// bottoms lie in one stretch. So each height keeps its elements sorted by
// bottom, with trees of the first and the last in list order over them: a
// query costs a halving and a tree walk per height.
class BandIndex {
public:
    // An element found: its node and its child index; a null node for none,
    // also when asked about another list than the one laid out, or about
    // it once its children have changed.
    struct Found {
        XPxmlNode* element = nullptr;
        uint32_t child = 0;
    };

    // Starts anew for the children of noteList.
    void clear(const XPxmlNode* noteList);
    // The next element in list order: its child index, and its band's top
    // and height in rows below the vertical origin.
    void add(uint32_t child, int64_t top, int64_t height);
    // Sorts what was added; the queries answer from then on.
    void finish();
    // The document row of the vertical origin.
    void setOrigin(int64_t origin) { m_origin = origin; }

    // The first element whose top lies on or above row y.
    Found firstReaching(const XPxmlNode* noteList, int64_t y) const;
    // The first and the last element whose band shares a row with top … bottom.
    Found firstMeeting(const XPxmlNode* noteList, int64_t top, int64_t bottom) const;
    Found lastMeeting(const XPxmlNode* noteList, int64_t top, int64_t bottom) const;
    // The first element whose band lies wholly within top … bottom.
    Found firstInside(const XPxmlNode* noteList, int64_t top, int64_t bottom) const;
    // Of the bands over row y (top on or above it, bottom below it), the
    // first of those whose bottom lies nearest to it.
    Found overRow(const XPxmlNode* noteList, int64_t y) const;
    // Of the bands wholly below row y, the first of those whose top lies nearest to it.
    Found nextBelow(const XPxmlNode* noteList, int64_t y) const;
    // The first band whose bottom lies on row y.
    Found endingOn(const XPxmlNode* noteList, int64_t y) const;
    // Calls visit(Found) on every element whose band shares a row with top …
    // bottom, in no particular order.
    template <typename Visit>
    void forEachMeeting(const XPxmlNode* noteList, int64_t top, int64_t bottom, Visit visit) const;

private:
    // The elements of one height: m_bottoms[begin … end) and m_order alike.
    struct Height {
        int64_t height;
        uint32_t begin;
        uint32_t end;
    };
    // Positions begin … end in m_bottoms.
    struct Stretch {
        uint32_t begin;
        uint32_t end;
        bool empty() const { return begin >= end; }
    };
    static constexpr uint32_t kNone = UINT32_MAX;

    bool describes(const XPxmlNode* noteList) const;
    Found found(uint32_t number) const;
    // Where in height's elements the bottoms on rows from … to lie.
    Stretch bottoms(const Height& height, int64_t from, int64_t to) const;
    // Which end of a stretch of list numbers a query wants.
    enum class End { First, Last };
    // The one of a and b nearer that end; either may be kNone.
    static uint32_t pick(End end, uint32_t a, uint32_t b);
    // The first or the last list number in a stretch of m_order; kNone for none.
    uint32_t endOf(End end, Stretch stretch) const;
    // Node i of tree (m_least or m_greatest), whose leaves are m_order.
    uint32_t node(const std::vector<uint32_t>& tree, size_t i) const
    {
        return i >= m_order.size() ? m_order[i - m_order.size()] : tree[i];
    }
    // Sorts m_order and m_bottoms begin … end by bottom, in list order among equals.
    void sortByBottom(uint32_t begin, uint32_t end);
    // Over every height, the first or the last list number in the stretch
    // of bottoms that select(height) gives.
    template <typename Select>
    Found endOver(const XPxmlNode* noteList, End end, Select select) const;
    // Over every height, the first element of the stretch that select gives
    // (its least bottom, the first in list order among equals), keeping the
    // one with the least key(bottom, height), the first in list order among equals.
    template <typename Select, typename Key>
    Found leastOver(const XPxmlNode* noteList, Select select, Key key) const;

    const XPxmlNode* m_list = nullptr;
    uint32_t m_childCount = 0;
    int64_t m_origin = 0;
    std::vector<uint32_t> m_children; // by list number
    std::vector<Height> m_heights;
    std::vector<int64_t> m_bottoms; // by height, then bottom, then list number
    std::vector<uint32_t> m_order;  // the list numbers in that order
    // Trees over m_order: node i (from 1) is the first (least) or the last
    // (greatest) list number of nodes 2i and 2i + 1, and node m_order.size()
    // + j is m_order[j].
    std::vector<uint32_t> m_least;
    std::vector<uint32_t> m_greatest;
    // What add gathers for finish, by list number: the bottom and the place
    // in m_heights. Kept for the next layout, as the rest.
    std::vector<int64_t> m_addedBottoms;
    std::vector<uint32_t> m_addedHeights;
    uint32_t m_lastHeight = 0;
};

template <typename Visit>
void BandIndex::forEachMeeting(const XPxmlNode* noteList, int64_t top, int64_t bottom, Visit visit) const
{
    if (!describes(noteList))
        return;
    for (const Height& height : m_heights) {
        const Stretch stretch = bottoms(height, top, bottom + height.height);
        for (uint32_t i = stretch.begin; i < stretch.end; ++i)
            visit(found(m_order[i]));
    }
}
