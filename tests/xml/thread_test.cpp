#include "xml/xpxml.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

// The playback thread walks the note list by sibling steps and reads
// attributes while the user-interface thread lays the same list out: it adds
// bars, writes working attributes and moves the list's cursor. Neither may
// disturb the other.
TEST(Threads, SiblingWalkWhileAnotherThreadEditsTheList)
{
    XPxmlDoc doc;
    doc.setIgnorePrefix("~");
    std::string text = "<Zolva><Notes>";
    constexpr int kNotes = 400;
    for (int i = 0; i < kNotes; ++i)
        text += "<Note Value=\"4\" Tines=\"" + std::to_string(i) + "\"/>";
    text += "</Notes></Zolva>";
    ASSERT_EQ(doc.loadText(text.c_str()), 0);
    XPxmlNode* notes = doc.findElement("Notes");

    std::atomic<bool> stop{false};
    std::atomic<int> badWalks{0};
    std::thread walker([&] {
        for (int round = 0; round < 200; ++round) {
            int expected = 0;
            for (XPxmlNode* node = notes->firstElementChild(); node; node = node->nextSibling()) {
                std::string tines;
                if (!node->getAttributeCopy("Tines", tines))
                    continue; // a bar
                if (tines != std::to_string(expected++))
                    badWalks.fetch_add(1);
            }
            if (expected != kNotes)
                badWalks.fetch_add(1);
        }
        stop = true;
    });

    int step = 0;
    while (!stop) {
        XPxmlNode* note = notes->childAt(uint32_t(step * 7 % kNotes));
        if (note && std::string(note->name()) == "Note") {
            if (step % 50 == 0)
                notes->insertBefore(XPxmlNode::create("Bar"), note);
            note->setAttribute("~Pos", std::to_string(step).c_str());
        }
        notes->children().first(); // cursor moves must not matter to the walker
        ++step;
    }
    walker.join();
    EXPECT_EQ(badWalks.load(), 0);
}

// Two threads share one cursor and one stack of saved cursors: what each
// step returns may depend on the other thread, but every answer is an entry
// of the list, a saved cursor always comes back, and the list stays whole.
TEST(Threads, TwoThreadsSteppingOneListWithSavedCursors)
{
    std::vector<int> values(1000);
    XPxmlList list;
    for (int& value : values)
        list.insert(XPxmlList::AtEnd, &value);
    std::atomic<int> wrong{0};
    auto isEntry = [&values](void* item) {
        return item == nullptr || (item >= &values.front() && item <= &values.back());
    };
    auto hammer = [&] {
        for (int i = 0; i < 2000; ++i) {
            const uint32_t index = uint32_t(i % 1000);
            if (list.getAt(index) != &values[index])
                ++wrong;
            const bool saved = list.pushCursor() != nullptr;
            if (!isEntry(list.next()) || !isEntry(list.prev()))
                ++wrong;
            if (saved && !list.popCursor())
                ++wrong;
            if (!isEntry(list.current()))
                ++wrong;
        }
    };
    std::thread a(hammer), b(hammer);
    a.join();
    b.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(list.count(), 1000u);
    EXPECT_EQ(list.cursorDepth(), 0u);
    for (uint32_t i = 0; i < 1000; ++i)
        ASSERT_EQ(list.at(i), &values[i]) << i;
}

} // namespace
