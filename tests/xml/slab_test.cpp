#include "xml/xpxml_slab.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <thread>
#include <vector>

namespace {

// Slots are distinct, aligned, writable over their whole size, and reused
// after release; large requests fall through to the ordinary heap.
TEST(Slab, SlotsAreDistinctAlignedAndReusable)
{
    std::vector<void*> slots;
    std::set<void*> seen;
    for (int i = 0; i < 5000; ++i) { // several chunks' worth
        void* slot = XPxmlSlab::allocate(XPxmlSlab::kSlotSize);
        ASSERT_EQ(reinterpret_cast<uintptr_t>(slot) % alignof(void*), 0u);
        std::memset(slot, i & 0xFF, XPxmlSlab::kSlotSize);
        EXPECT_TRUE(seen.insert(slot).second);
        slots.push_back(slot);
    }
    for (size_t i = 0; i < slots.size(); ++i)
        EXPECT_EQ(static_cast<unsigned char*>(slots[i])[XPxmlSlab::kSlotSize - 1], i & 0xFF);
    for (size_t i = 0; i < slots.size(); i += 2)
        XPxmlSlab::release(slots[i], XPxmlSlab::kSlotSize);
    for (size_t i = 0; i < slots.size(); i += 2)
        slots[i] = XPxmlSlab::allocate(XPxmlSlab::kSlotSize);
    for (void* slot : slots)
        XPxmlSlab::release(slot, XPxmlSlab::kSlotSize);

    void* big = XPxmlSlab::allocate(XPxmlSlab::kSlotSize * 4);
    std::memset(big, 0, XPxmlSlab::kSlotSize * 4);
    XPxmlSlab::release(big, XPxmlSlab::kSlotSize * 4);
    XPxmlSlab::release(nullptr, 8);
}

TEST(Slab, ThreadsAllocatingAndReleasingTogether)
{
    auto churn = [] {
        std::vector<void*> mine;
        for (int round = 0; round < 50; ++round) {
            for (int i = 0; i < 500; ++i)
                mine.push_back(XPxmlSlab::allocate(48));
            for (void* slot : mine)
                XPxmlSlab::release(slot, 48);
            mine.clear();
        }
    };
    std::thread a(churn), b(churn);
    a.join();
    b.join();
}

} // namespace
