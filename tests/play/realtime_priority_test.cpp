#include "play/realtime_priority.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

// Answers as a system with the row's rights would, and notes what was asked.
struct FakeSystem : RealtimeSystem {
    bool already = false;
    int limit = 0;         // RLIMIT_RTPRIO
    int directUpTo = 0;    // the highest priority the kernel lets the thread set
    std::optional<RealtimeKitLimits> kit;
    bool canCap = true;
    bool kitGrants = true;

    int askedDirect = 0;
    int64_t cappedAt = 0;
    int askedKit = 0;

    bool isRealtime() override { return already; }
    int realtimePriorityLimit() override { return limit; }
    bool setRealtime(int priority) override
    {
        askedDirect = priority;
        return priority <= directUpTo;
    }
    std::optional<RealtimeKitLimits> realtimeKit() override { return kit; }
    bool capRealtimeRunTime(int64_t micros) override
    {
        cappedAt = micros;
        return canCap;
    }
    bool askRealtimeKit(int priority) override
    {
        askedKit = priority;
        return kitGrants;
    }
};

constexpr RealtimeKitLimits kUsualKit{20, 200000}; // RealtimeKit's defaults

TEST(RealtimePriority, ChoosesDirectThenRealtimeKitThenNormal)
{
    using Way = RealtimeOutcome::Way;
    struct Row {
        const char* what;
        bool already;
        int limit;
        int directUpTo;
        std::optional<RealtimeKitLimits> kit;
        bool canCap;
        bool kitGrants;
        // expected
        Way way;
        int priority;
        int askedDirect; // 0: not asked
        int64_t cappedAt;
        int askedKit;
        const char* line; // for the playback thread, which asks for 10
    };
    const Row rows[] = {
        {"an audio server's thread", true, 0, 99, kUsualKit, true, true,
         Way::Already, 0, 0, 0, 0, "playback thread: real-time already"},
        {"privileged, no limit set", false, 0, 99, kUsualKit, true, true,
         Way::Direct, 10, 10, 0, 0, "playback thread: real-time priority 10, set directly"},
        {"limit above what is wanted", false, 95, 95, kUsualKit, true, true,
         Way::Direct, 10, 10, 0, 0, "playback thread: real-time priority 10, set directly"},
        {"limit below what is wanted", false, 5, 5, kUsualKit, true, true,
         Way::Direct, 5, 5, 0, 0, "playback thread: real-time priority 5, set directly"},
        {"no right, RealtimeKit grants", false, 0, 0, kUsualKit, true, true,
         Way::RealtimeKit, 10, 10, 200000, 10, "playback thread: real-time priority 10 through RealtimeKit"},
        {"a limit the kernel still refuses", false, 5, 0, kUsualKit, true, true,
         Way::RealtimeKit, 10, 5, 200000, 10, "playback thread: real-time priority 10 through RealtimeKit"},
        {"RealtimeKit allows less", false, 0, 0, RealtimeKitLimits{3, 50000}, true, true,
         Way::RealtimeKit, 3, 10, 50000, 3, "playback thread: real-time priority 3 through RealtimeKit"},
        {"no right, no RealtimeKit", false, 0, 0, std::nullopt, true, true,
         Way::Normal, 0, 10, 0, 0,
         "playback thread: normal priority (no right to real-time scheduling, RealtimeKit not reachable)"},
        {"RealtimeKit allows none", false, 0, 0, RealtimeKitLimits{0, 200000}, true, true,
         Way::Normal, 0, 10, 0, 0,
         "playback thread: normal priority (no right to real-time scheduling, RealtimeKit allows none)"},
        {"run time cannot be capped", false, 0, 0, kUsualKit, false, true,
         Way::Normal, 0, 10, 200000, 0,
         "playback thread: normal priority (no right to real-time scheduling, RLIMIT_RTTIME cannot be capped "
         "for RealtimeKit)"},
        {"RealtimeKit refuses", false, 0, 0, kUsualKit, true, false,
         Way::Normal, 0, 10, 200000, 10,
         "playback thread: normal priority (no right to real-time scheduling, RealtimeKit refused)"},
    };
    ASSERT_EQ(realtimePriorityFor(ThreadRole::Playback), 10);
    for (const Row& row : rows) {
        FakeSystem system;
        system.already = row.already;
        system.limit = row.limit;
        system.directUpTo = row.directUpTo;
        system.kit = row.kit;
        system.canCap = row.canCap;
        system.kitGrants = row.kitGrants;
        const RealtimeOutcome outcome = chooseRealtime(system, realtimePriorityFor(ThreadRole::Playback));
        EXPECT_EQ(outcome.way, row.way) << row.what;
        EXPECT_EQ(outcome.priority, row.priority) << row.what;
        EXPECT_EQ(system.askedDirect, row.askedDirect) << row.what;
        EXPECT_EQ(system.cappedAt, row.cappedAt) << row.what;
        EXPECT_EQ(system.askedKit, row.askedKit) << row.what;
        EXPECT_EQ(describeRealtime(ThreadRole::Playback, outcome), row.line) << row.what;
    }
}

TEST(RealtimePriority, TheAudioThreadAsksForMoreAndSaysWhichThreadItIs)
{
    EXPECT_GT(realtimePriorityFor(ThreadRole::Audio), realtimePriorityFor(ThreadRole::Playback));
    FakeSystem system;
    system.directUpTo = 99;
    const RealtimeOutcome outcome = chooseRealtime(system, realtimePriorityFor(ThreadRole::Audio));
    EXPECT_EQ(describeRealtime(ThreadRole::Audio, outcome), "audio thread: real-time priority 15, set directly");
}

} // namespace
