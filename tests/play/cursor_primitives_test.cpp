#include "fake_midi_devices.h"
#include "playback_fixture.h"

#include "play/chord_sender.h"
#include "view/cursor_primitives.h"

#include <gtest/gtest.h>

namespace {

struct CursorTest : ::testing::Test {
    CleanSettings settings;
    JumpingClock clock;
    TiedViews tied;
    PlaybackRig rig{rest() + "<Note Tines=\"3,1\"/><Note Tines=\"\"/>" + note(2), clock, tied};
    std::vector<int> keys{60, 61, 62, 63, 64};
    TineSound sound{midiPreview(&rig.session, keys, PlaybackRig::kTines), PlaybackRig::kTines};

    // The keys sounded since the last call.
    std::vector<int> heard()
    {
        std::vector<int> out = rig.soundedKeys();
        out.erase(out.begin(), out.begin() + long(std::min(m_seen, out.size())));
        m_seen += out.size();
        return out;
    }

private:
    size_t m_seen = 0;
};

TEST_F(CursorTest, PlayElementPreviewsOnlyNotesWithTinesWhileNotPlaying)
{
    struct Row {
        const char* name;
        XPxmlNode* element;
        bool playing;
        std::vector<int> want;
    };
    const Row rows[] = {
        {"a note sounds its chord", rig.at(1), false, {60, 62}},
        {"not while playing", rig.at(1), true, {}},
        {"a rest is silent", rig.at(0), false, {}},
        {"an empty note is silent", rig.at(2), false, {}},
        {"no element", nullptr, false, {}},
    };
    for (const Row& row : rows) {
        PlayElement(sound, row.playing, row.element);
        EXPECT_EQ(heard(), row.want) << row.name;
    }

    CleanSettings::set("Mute", "1");
    rig.session.readMute();
    PlayElement(sound, false, rig.at(3));
    EXPECT_EQ(heard(), std::vector<int>{}) << "muted";
}

TEST_F(CursorTest, SetCursorPreviewsOnlyAMoveToAnotherElement)
{
    CursorPlace cursor;
    SetCursor(sound, false, rig.doc.rootElement(), cursor, rig.at(3), 4);
    EXPECT_EQ(cursor.element, rig.at(3));
    EXPECT_EQ(cursor.tine, 4);
    EXPECT_EQ(heard(), std::vector<int>{61});

    SetCursor(sound, false, rig.doc.rootElement(), cursor, rig.at(3), 1);
    EXPECT_EQ(cursor.tine, 1);
    EXPECT_EQ(heard(), std::vector<int>{}) << "same element: no preview";

    SetCursor(sound, false, rig.doc.rootElement(), cursor, nullptr, 2);
    EXPECT_EQ(cursor.element, rig.at(0)) << "none means the first element";
    EXPECT_EQ(cursor.tine, 2);

    XPxmlDoc empty;
    empty.loadText("<Notes/>");
    SetCursor(sound, false, empty.rootElement(), cursor, nullptr, 3);
    EXPECT_EQ(cursor.element, nullptr);
    EXPECT_EQ(cursor.tine, 2) << "no element: the column stays";
}

} // namespace
