#include "play/realtime_priority.h"

#include <QLoggingCategory>

#include <algorithm>
#include <array>
#include <mutex>

namespace {

// Info off by default: the line is for someone looking into timing.
Q_LOGGING_CATEGORY(realtimeLog, "zolva.realtime", QtWarningMsg)

thread_local bool t_realtime = false;

RealtimeOutcome normal(std::string why)
{
    return {RealtimeOutcome::Way::Normal, 0, std::move(why)};
}

// Windows has no number to tell.
std::string realtimeAt(int priority)
{
    return priority > 0 ? "real-time priority " + std::to_string(priority) : "real-time";
}

} // namespace

int realtimePriorityFor(ThreadRole role)
{
    // Low among real-time threads: below an audio server's own (PipeWire
    // asks for 88), within RealtimeKit's usual limit of 20.
    return role == ThreadRole::Audio ? 15 : 10;
}

RealtimeOutcome chooseRealtime(RealtimeSystem& system, int wanted)
{
    if (system.isRealtime())
        return {RealtimeOutcome::Way::Already, 0, {}};
    // A privileged user may go above the limit; anyone may go up to it.
    const int limit = system.realtimePriorityLimit();
    const int direct = limit > 0 ? std::min(wanted, limit) : wanted;
    if (system.setRealtime(direct))
        return {RealtimeOutcome::Way::Direct, direct, {}};

    const std::optional<RealtimeKitLimits> kit = system.realtimeKit();
    if (!kit)
        return normal("no right to real-time scheduling, RealtimeKit not reachable");
    const int granted = std::min(wanted, kit->maxPriority);
    if (granted < 1)
        return normal("no right to real-time scheduling, RealtimeKit allows none");
    if (!system.capRealtimeRunTime(kit->rtTimeMaxMicros))
        return normal("no right to real-time scheduling, RLIMIT_RTTIME cannot be capped for RealtimeKit");
    if (!system.askRealtimeKit(granted))
        return normal("no right to real-time scheduling, RealtimeKit refused");
    return {RealtimeOutcome::Way::RealtimeKit, granted, {}};
}

std::string describeRealtime(ThreadRole role, const RealtimeOutcome& outcome)
{
    std::string line = role == ThreadRole::Audio ? "audio thread: " : "playback thread: ";
    switch (outcome.way) {
    case RealtimeOutcome::Way::Direct:
        line += realtimeAt(outcome.priority) + ", set directly";
        break;
    case RealtimeOutcome::Way::RealtimeKit:
        line += realtimeAt(outcome.priority) + " through RealtimeKit";
        break;
    case RealtimeOutcome::Way::Already:
        line += "real-time already";
        break;
    case RealtimeOutcome::Way::Normal:
        line += "normal priority";
        break;
    }
    if (!outcome.note.empty())
        line += " (" + outcome.note + ")";
    return line;
}

RealtimeOutcome makeThisThreadRealtime(ThreadRole role)
{
    const RealtimeOutcome outcome = makeRealtimeOnPlatform(realtimePriorityFor(role));
    t_realtime = outcome.realtime();
    logRealtime(role, outcome);
    return outcome;
}

void logRealtime(ThreadRole role, const RealtimeOutcome& outcome)
{
    // Once per change, not at every Play.
    static std::mutex mutex;
    static std::array<std::string, 2> logged;
    const std::string line = describeRealtime(role, outcome);
    {
        std::lock_guard lock(mutex);
        std::string& last = logged[role == ThreadRole::Audio ? 1 : 0];
        if (last == line)
            return;
        last = line;
    }
    qCInfo(realtimeLog, "%s", line.c_str());
}

bool thisThreadIsRealtime()
{
    return t_realtime;
}
