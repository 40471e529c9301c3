// A performance written as a MIDI file and read back by portSMF's Allegro
// reader (not by anything of ours): every note the playback engine sends, at
// its time and for as long as it sounds, with the instrument and the clicks.
#include "playback_fixture.h"

#include "doc/settings_store.h"
#include "play/performance_render.h"
#include "play/practice_controls.h"
#include "play/smf_writer.h"

#include <allegro.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <tuple>

// portSMF's table of attribute names, which the Allegro reader fills, frees
// with delete what it made with new[] when the program exits.
extern "C" const char* __asan_default_options()
{
    return "alloc_dealloc_mismatch=0";
}

namespace {

// Longer than the longest tick of these pieces (a quarter of 2 s at 60 bpm, half speed).
constexpr int64_t kTickTolerance = 5000; // µs

struct Sounded {
    int channel = 0;
    int key = 0;
    int64_t start = 0;  // µs from the first note
    int64_t length = 0; // µs
    auto operator<=>(const Sounded&) const = default;
};

// A key sounds from its note-on until the next message for it (a release or
// a new strike), as on the wire.
std::vector<Sounded> soundedOnWire(const std::vector<StampedMessage>& messages)
{
    std::vector<Sounded> out;
    for (size_t i = 0; i < messages.size(); ++i) {
        const MidiMessage m = messages[i].message;
        if ((midiStatus(m) & 0xF0) != 0x90 || midiData2(m) == 0)
            continue;
        int64_t end = messages.back().micros;
        for (size_t j = i + 1; j < messages.size(); ++j) {
            const MidiMessage later = messages[j].message;
            if ((midiStatus(later) & 0xEF) == (midiStatus(m) & 0xEF) && midiData1(later) == midiData1(m)) {
                end = messages[j].micros;
                break;
            }
        }
        out.push_back({midiStatus(m) & 0x0F, midiData1(m), messages[i].micros, end - messages[i].micros});
    }
    return out;
}

struct FileContents {
    std::vector<Sounded> notes;
    std::vector<int> programs;
};

FileContents readBack(const std::string& bytes)
{
    FileContents contents;
    std::istringstream in(bytes);
    Alg_seq seq(in, true);
    EXPECT_EQ(seq.get_read_error(), alg_no_error);
    seq.convert_to_seconds();
    for (int t = 0; t < seq.tracks(); ++t) {
        Alg_track& events = *seq.track(t);
        for (int i = 0; i < events.length(); ++i) {
            Alg_event_ptr e = events[i];
            if (e->is_note()) {
                const auto* n = static_cast<Alg_note_ptr>(e);
                contents.notes.push_back({int(n->chan), int(std::lround(n->pitch)), std::llround(n->time * 1e6),
                                          std::llround(n->dur * 1e6)});
            } else if (e->is_update() && std::string(e->get_attribute()) == "programi") {
                contents.programs.push_back(int(static_cast<Alg_update_ptr>(e)->get_integer_value()));
            }
        }
    }
    return contents;
}

std::vector<Sounded> fromFirst(std::vector<Sounded> notes)
{
    std::sort(notes.begin(), notes.end(), [](const Sounded& a, const Sounded& b) {
        return std::tie(a.start, a.channel, a.key) < std::tie(b.start, b.channel, b.key);
    });
    const int64_t first = notes.empty() ? 0 : notes.front().start;
    for (Sounded& n : notes)
        n.start -= first;
    return notes;
}

struct MidiExport : JumpingPlayback {
    PracticeControls practice;
};

TEST_F(MidiExport, TheFileHoldsWhatPlaybackSends)
{
    struct Row {
        const char* name;
        std::string notes;
        int speed;
        bool metronome;
        size_t soundedCount; // notes and clicks
    };
    const std::string timed = bar("Timing=\"A3/4\"");
    const std::vector<Row> rows = {
        {"plain notes", note(1) + note(2, "8") + rest("4") + note(3, "2") + note(1, "16"), 100, false, 4},
        {"a repeat", bar() + note(1) + note(2) + repeatBar("CloseRepeat") + note(3), 100, false, 5},
        {"a tie holds its note", note(1, "4", "Tie=\"Y\"") + note(1) + note(2), 100, false, 2},
        {"a tempo change", note(1) + note(2, "4", "Tempo=\"60\"") + note(3, "2") + note(4, "8", "Tempo=\"200\"") + note(5),
         100, false, 5},
        {"half speed", note(1, "4", "Tempo=\"60\"") + note(2, "8") + note(3), 50, false, 3},
        {"the metronome", timed + note(1) + note(2, "2") + timed + note(3, "2.") + note(4), 100, true, 4 + 7},
    };
    writeSettingText(SettingKey::MidiInstrument, QStringLiteral("15"));
    for (const Row& row : rows) {
        PlaybackRig& r = load(row.notes);
        practice.setSpeed(row.speed);
        practice.metronome = row.metronome;
        PlaybackSetup played = r.setup(0);
        played.practice = &practice;
        played.clicks = true;
        const size_t before = r.devices.messages().size();
        r.engine.play(played);
        r.window.waitFinished();
        r.engine.stop();
        std::vector<StampedMessage> sent = r.devices.messages();
        sent.erase(sent.begin(), sent.begin() + std::ptrdiff_t(before));
        const std::vector<Sounded> want = fromFirst(soundedOnWire(sent));
        ASSERT_EQ(want.size(), row.soundedCount) << row.name;

        PerformanceMusic music;
        music.noteList = r.doc.rootElement();
        music.tineCount = PlaybackRig::kTines;
        for (int i = 0; i < PlaybackRig::kTines; ++i)
            music.tineKeys[size_t(i)] = 60 + i;
        music.speed = row.speed;
        music.metronome = row.metronome;
        const FileContents file = readBack(standardMidiFile(renderPerformance(r.sink, music)));
        const std::vector<Sounded> got = fromFirst(file.notes);
        ASSERT_EQ(got.size(), want.size()) << row.name;
        for (size_t i = 0; i < want.size(); ++i) {
            EXPECT_EQ(got[i].channel, want[i].channel) << row.name << " note " << i;
            EXPECT_EQ(got[i].key, want[i].key) << row.name << " note " << i;
            EXPECT_NEAR(double(got[i].start), double(want[i].start), kTickTolerance) << row.name << " note " << i;
            EXPECT_NEAR(double(got[i].length), double(want[i].length), kTickTolerance) << row.name << " note " << i;
        }
        EXPECT_EQ(file.programs, std::vector<int>{14}) << row.name;
    }
    writeSettingText(SettingKey::MidiInstrument, QString());
}

} // namespace
