#include "xml/xpxml_slab.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <thread>
#include <utility>
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

// Carved slots of every size are distinct and writable, and can be released
// on another thread while the carver goes on carving, before or after it dies.
TEST(Slab, CarvedSlotsReleasedAnywhere)
{
    std::vector<std::pair<void*, size_t>> slots;
    std::set<void*> seen;
    {
        XPxmlSlab::Carver carver;
        std::thread releaser;
        for (int i = 0; i < 6000; ++i) { // several chunks' worth
            const size_t size = size_t(8 + (i * 37) % 300); // some beyond the largest slot
            void* slot = carver.allocate(size);
            ASSERT_EQ(reinterpret_cast<uintptr_t>(slot) % alignof(void*), 0u);
            std::memset(slot, i & 0xFF, size);
            EXPECT_TRUE(seen.insert(slot).second);
            slots.emplace_back(slot, size);
            if (i == 3000) { // the first half goes while carving continues
                for (auto [slot, size] : slots)
                    seen.erase(slot); // its memory may be carved again
                releaser = std::thread([half = slots] {
                    for (auto [slot, size] : half)
                        XPxmlSlab::release(slot, size);
                });
                slots.clear();
            }
        }
        releaser.join();
    }
    for (auto [slot, size] : slots)
        XPxmlSlab::release(slot, size);
}

} // namespace
