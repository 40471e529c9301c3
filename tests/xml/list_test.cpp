#include "xml/xpxml_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <vector>

namespace {

// A list over five distinct items a..e, cursor wherever the last insert left it.
struct ListTest : ::testing::Test {
    std::array<int, 5> items{0, 1, 2, 3, 4};
    XPxmlList list;
    void* item(int i) { return &items[size_t(i)]; }
    void fill(int n)
    {
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(list.insert(XPxmlList::AtEnd, item(i)), 1);
    }
};

TEST_F(ListTest, NewListIsEmptyWithoutCursor)
{
    EXPECT_EQ(list.count(), 0u);
    EXPECT_EQ(list.capacity(), 0u);
    EXPECT_EQ(list.cursor(), -1);
    EXPECT_EQ(list.current(), nullptr);
    EXPECT_EQ(list.setGrowth(0), XPxmlList::kDefaultGrowth);
}

TEST_F(ListTest, InsertModesPlaceItemAndMoveCursorOntoIt)
{
    struct Row {
        int mode;
        int cursorBefore; // -1: no cursor
        int expectedIndex;
    };
    const Row rows[] = {
        {XPxmlList::AtFront, 1, 0},       {XPxmlList::AtEnd, 1, 3},
        {XPxmlList::BeforeCurrent, 1, 1}, {XPxmlList::AfterCurrent, 1, 2},
        {XPxmlList::AfterCurrent, -1, 0}, {XPxmlList::BeforeCurrent, -1, 0},
    };
    for (const Row& row : rows) {
        XPxmlList fresh;
        for (int i = 0; i < 3; ++i)
            fresh.insert(XPxmlList::AtEnd, item(i));
        if (row.cursorBefore < 0)
            fresh.next(), fresh.next(), fresh.next(), fresh.next(); // walk off the end
        else
            fresh.getAt(uint32_t(row.cursorBefore));
        int extra = 99;
        ASSERT_EQ(fresh.insert(row.mode, &extra), 1) << "mode " << row.mode;
        EXPECT_EQ(fresh.cursor(), row.expectedIndex) << "mode " << row.mode;
        EXPECT_EQ(fresh.at(uint32_t(row.expectedIndex)), &extra) << "mode " << row.mode;
        EXPECT_EQ(fresh.count(), 4u);
    }
}

TEST_F(ListTest, InsertRefusesNullItemAndUnknownMode)
{
    EXPECT_EQ(list.insert(XPxmlList::AtEnd, nullptr), 0);
    EXPECT_EQ(list.insert(0, item(0)), 0);
    EXPECT_EQ(list.insert(5, item(0)), 0);
    EXPECT_EQ(list.count(), 0u);
}

TEST_F(ListTest, StepsWalkAndFallOffBothEnds)
{
    fill(3);
    EXPECT_EQ(list.first(), item(0));
    EXPECT_EQ(list.next(), item(1));
    EXPECT_EQ(list.next(), item(2));
    EXPECT_EQ(list.next(), nullptr); // at the last entry: cursor cleared
    EXPECT_EQ(list.cursor(), -1);
    EXPECT_EQ(list.next(), nullptr); // no cursor stays no cursor
    EXPECT_EQ(list.cursor(), -1);
    EXPECT_EQ(list.last(), item(2));
    EXPECT_EQ(list.prev(), item(1));
    EXPECT_EQ(list.prev(), item(0));
    EXPECT_EQ(list.prev(), nullptr);
    EXPECT_EQ(list.cursor(), -1);
    EXPECT_EQ(list.prev(), nullptr);
}

TEST_F(ListTest, LastOnEmptyListKeepsCursorFirstClearsIt)
{
    EXPECT_EQ(list.last(), nullptr);
    EXPECT_EQ(list.cursor(), -1);
    EXPECT_EQ(list.first(), nullptr);
}

TEST_F(ListTest, GetAtAndFind)
{
    fill(4);
    EXPECT_EQ(list.getAt(2), item(2));
    EXPECT_EQ(list.cursor(), 2);
    EXPECT_EQ(list.getAt(4), nullptr); // past the end: cursor stays
    EXPECT_EQ(list.cursor(), 2);
    EXPECT_EQ(list.find(item(3)), item(3));
    EXPECT_EQ(list.cursor(), 3);
    int stranger = 7;
    EXPECT_EQ(list.find(&stranger), nullptr);
    EXPECT_EQ(list.cursor(), -1);
}

TEST_F(ListTest, RemoveCurrentKeepsIndexAndBacksOffTheEnd)
{
    EXPECT_EQ(list.removeCurrent(), 0); // empty
    fill(3);
    list.first();
    list.next();
    list.next();
    list.next(); // no cursor
    EXPECT_EQ(list.removeCurrent(), 0);

    list.getAt(1);
    EXPECT_EQ(list.removeCurrent(), 1);
    EXPECT_EQ(list.cursor(), 1); // now on what was the third entry
    EXPECT_EQ(list.current(), item(2));
    EXPECT_EQ(list.removeCurrent(), 1); // removing the last entry: cursor moves to the new last
    EXPECT_EQ(list.cursor(), 0);
    EXPECT_EQ(list.current(), item(0));
    EXPECT_EQ(list.removeCurrent(), 1); // the only entry: no cursor left
    EXPECT_EQ(list.cursor(), -1);
    EXPECT_EQ(list.count(), 0u);
}

TEST_F(ListTest, CursorStackSavesAndRestores)
{
    fill(3);
    list.next(); // no cursor yet
    EXPECT_EQ(list.pushCursor(), nullptr) << "push without a cursor is refused";
    EXPECT_EQ(list.popCursor(), nullptr) << "nothing saved";
    EXPECT_EQ(list.cursor(), -1);

    list.getAt(1);
    EXPECT_EQ(list.pushCursor(), item(1));
    list.last();
    EXPECT_EQ(list.popCursor(), item(1));
    EXPECT_EQ(list.cursor(), 1);
    EXPECT_EQ(list.cursorDepth(), 0u);
}

TEST_F(ListTest, CursorStackHoldsOneHundred)
{
    fill(1);
    list.first();
    for (int i = 0; i < XPxmlList::kCursorStackSize; ++i)
        ASSERT_NE(list.pushCursor(), nullptr) << i;
    EXPECT_EQ(list.pushCursor(), nullptr) << "the 101st push is refused";
    EXPECT_EQ(list.cursorDepth(), 100u);
}

TEST_F(ListTest, PopPastTheEndReturnsNothingButRestores)
{
    fill(3);
    list.last();
    list.pushCursor();
    list.removeCurrent();
    list.removeCurrent();
    EXPECT_EQ(list.popCursor(), nullptr);
    EXPECT_EQ(list.cursor(), 2);
    EXPECT_EQ(list.current(), nullptr);
}

TEST_F(ListTest, SetGrowthReportsPreviousStep)
{
    EXPECT_EQ(list.setGrowth(32), 16u);
    EXPECT_EQ(list.setGrowth(0), 32u);
    XPxmlList nodeList(XPxmlList::kNodeListGrowth);
    EXPECT_EQ(nodeList.setGrowth(0), 512u);
}

TEST_F(ListTest, SmallListsStaySmallAndLargeOnesShrinkBack)
{
    XPxmlList nodeList(XPxmlList::kNodeListGrowth);
    for (int i = 0; i < 3; ++i)
        nodeList.insert(XPxmlList::AtEnd, item(i));
    EXPECT_LE(nodeList.capacity(), 8u) << "three entries must not take 512 slots";

    std::vector<int> many(5000);
    for (int& value : many)
        nodeList.insert(XPxmlList::AtEnd, &value);
    EXPECT_GE(nodeList.capacity(), 5003u);
    while (nodeList.count() > 10) {
        nodeList.first();
        nodeList.removeCurrent();
    }
    EXPECT_LT(nodeList.capacity(), 100u);
}

TEST_F(ListTest, NeighbourStepsWithoutTouchingCursor)
{
    fill(5);
    list.getAt(3);
    uint32_t hint = 0; // stale on purpose
    EXPECT_EQ(list.neighbour(item(2), +1, hint), item(3));
    EXPECT_EQ(hint, 2u);
    EXPECT_EQ(list.neighbour(item(2), -1, hint), item(1));
    EXPECT_EQ(list.neighbour(item(4), +1, hint), nullptr);
    EXPECT_EQ(list.neighbour(item(0), -1, hint), nullptr);
    int stranger = 9;
    EXPECT_EQ(list.neighbour(&stranger, +1, hint), nullptr);
    EXPECT_EQ(list.cursor(), 3);
}

TEST_F(ListTest, CopyEntriesTakesARunWithoutTouchingCursor)
{
    void* out[5] = {};
    EXPECT_EQ(list.copyEntries(0, out, 5), 0u); // no storage yet
    fill(5);
    list.getAt(1);
    const struct {
        uint32_t from, max, expected;
    } rows[] = {{0, 5, 5}, {1, 2, 2}, {3, 5, 2}, {5, 5, 0}, {9, 1, 0}};
    for (const auto& row : rows) {
        std::fill(std::begin(out), std::end(out), nullptr);
        ASSERT_EQ(list.copyEntries(row.from, out, row.max), row.expected) << "from " << row.from;
        for (uint32_t i = 0; i < row.expected; ++i)
            EXPECT_EQ(out[i], item(int(row.from + i))) << "from " << row.from;
        if (row.expected < 5) {
            EXPECT_EQ(out[row.expected], nullptr) << "from " << row.from; // nothing written past the run
        }
    }
    EXPECT_EQ(list.cursor(), 1);
}

TEST_F(ListTest, RemoveByItemKeepsCursorOnItsEntry)
{
    fill(5);
    list.getAt(3);
    EXPECT_EQ(list.remove(item(1)), 1);
    EXPECT_EQ(list.current(), item(3));
    EXPECT_EQ(list.remove(item(1)), 0);
    EXPECT_EQ(list.count(), 4u);
}

} // namespace
