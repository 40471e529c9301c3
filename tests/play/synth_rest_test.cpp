#include "play/audio_rest.h"
#include "play/held_messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// An output that records what it is told and sounds as many voices as the
// test sets.
struct RecordingOutput : AudioRest::Output {
    std::vector<std::string> calls;
    int voices = 0;
    bool canStart = true;

    bool start() override
    {
        calls.push_back(canStart ? "start" : "start failed");
        return canStart;
    }
    void stop() override { calls.push_back("stop"); }
    int soundingVoices() override { return voices; }
};

TEST(AudioRest, StopsAfterThreeQuietSecondsAndStartsForTheNextNote)
{
    constexpr int64_t kMs = 1000;
    RecordingOutput output;
    AudioRest rest(output, 0, 3000 * kMs);

    struct Step {
        int64_t at; // ms
        bool wake;  // a note was sent just before
        int voices;
        bool canStart;
        bool running; // after the check
    };
    const Step steps[] = {
        {2999, false, 0, true, true},   // quiet, but not for long enough
        {3000, false, 0, true, false},  // three quiet seconds
        {9000, false, 0, true, false},  // at rest, nothing asks for sound
        {9001, true, 0, true, true},    // a note starts it
        {11000, false, 2, true, true},  // the note rings
        {13500, false, 1, true, true},  // still ringing: the three seconds start over
        {16499, false, 0, true, true},  // died away 2.999 s ago
        {16500, false, 0, true, false},
        {17000, true, 0, false, false}, // an output that cannot start stays at rest
        {17100, true, 0, true, true},   // and starts for the next note
        {19000, true, 0, true, true},   // a note on the running output counts as sound
        {21999, false, 0, true, true},
        {22000, false, 0, true, false},
    };
    for (const Step& step : steps) {
        output.voices = step.voices;
        output.canStart = step.canStart;
        if (step.wake)
            rest.wake();
        rest.check(step.at * kMs);
        EXPECT_EQ(rest.running(), step.running) << "at " << step.at << " ms";
    }
    const std::vector<std::string> calls{"stop", "start", "stop", "start failed", "start", "stop"};
    EXPECT_EQ(output.calls, calls);
}

TEST(HeldMessages, KeptForOneSecondInTheOrderSent)
{
    struct Row {
        std::vector<int64_t> sentAt; // message i is note-on of key i
        int64_t releasedAt;
        std::vector<int> keys; // what the release gives back
    };
    const Row rows[] = {
        {{0, 10, 20}, 30, {0, 1, 2}},
        {{0}, 1'000'000, {0}},       // exactly a second: still sounds
        {{0}, 1'000'001, {}},        // later: dropped
        {{0, 600'000}, 1'200'000, {1}},
        {{0, 2'000'000, 2'100'000}, 2'200'000, {1, 2}}, // a long load keeps only the last second
    };
    for (const Row& row : rows) {
        HeldMessages held;
        for (size_t key = 0; key < row.sentAt.size(); ++key)
            held.hold(midiMessage(0x90, int(key), 100), row.sentAt[key]);
        std::vector<MidiMessage> want;
        for (int key : row.keys)
            want.push_back(midiMessage(0x90, key, 100));
        EXPECT_EQ(held.release(row.releasedAt), want) << "released at " << row.releasedAt;
        EXPECT_TRUE(held.release(row.releasedAt).empty()) << "a release empties the list";
    }
}

} // namespace
