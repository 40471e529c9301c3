// A performance rendered to sound on the sample clock: every note and click
// the playback engine sends starts in the audio within a millisecond of the
// time it was sent at.
#include "playback_fixture.h"
#include "sound_onsets.h"

#include "doc/settings_store.h"
#include "play/builtin_synth.h"
#include "play/performance_render.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int64_t kOnsetTolerance = 44; // frames: 1 ms

using AudioExport = JumpingPlayback;

TEST_F(AudioExport, EveryNoteStartsOnTime)
{
    struct Row {
        const char* name;
        std::string notes;
        int speed;
        bool metronome;
        size_t onsets;
    };
    const std::string chord = "<Note Tines=\"1,3,5\" Value=\"2\"/>";
    const std::vector<Row> rows = {
        {"notes and a strummed chord", note(1) + note(2, "8") + rest("8") + note(3) + chord + note(5), 100, false, 7},
        {"half speed", note(1, "4", "Tempo=\"90\"") + note(4, "8") + note(2) + chord, 50, false, 6},
        {"the metronome", bar() + note(1, "2") + note(3, "2") + bar() + note(2, "2.") + note(5), 100, true, 12},
    };
    // The kalimba, as a player would choose.
    writeSettingText(SettingKey::MidiInstrument, QStringLiteral("109"));
    for (const Row& row : rows) {
        PlaybackRig& r = load(row.notes);
        PerformanceMusic music;
        music.noteList = r.doc.rootElement();
        music.tineCount = PlaybackRig::kTines;
        for (int i = 0; i < PlaybackRig::kTines; ++i)
            music.tineKeys[size_t(i)] = 60 + 2 * i;
        music.speed = row.speed;
        music.metronome = row.metronome;
        const Performance performance = renderPerformance(r.sink, music);

        const std::vector<float> sound = renderSound(performance, builtInSoundFont());
        const std::vector<SoundOnset> onsets = soundOnsets(performance, builtInSoundFont(), sound);
        ASSERT_EQ(onsets.size(), row.onsets) << row.name;
        for (size_t i = 0; i < onsets.size(); ++i)
            EXPECT_NEAR(double(onsets[i].heard), double(onsets[i].scheduled), kOnsetTolerance)
                << row.name << " onset " << i;
    }
    writeSettingText(SettingKey::MidiInstrument, QString());
}

} // namespace
