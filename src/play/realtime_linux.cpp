#include "play/realtime_kit.h"
#include "play/realtime_priority.h"

#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>

namespace {

class LinuxRealtime : public RealtimeSystem {
public:
    bool isRealtime() override
    {
        const int policy = sched_getscheduler(0) & ~SCHED_RESET_ON_FORK;
        return policy == SCHED_FIFO || policy == SCHED_RR;
    }

    int realtimePriorityLimit() override
    {
        rlimit limit{};
        if (getrlimit(RLIMIT_RTPRIO, &limit) != 0)
            return 0;
        return int(std::min<rlim_t>(limit.rlim_cur, rlim_t(sched_get_priority_max(SCHED_FIFO))));
    }

    bool setRealtime(int priority) override
    {
        // Not handed down: a program started from this thread runs normally.
        sched_param param{};
        param.sched_priority = priority;
        return sched_setscheduler(0, SCHED_FIFO | SCHED_RESET_ON_FORK, &param) == 0;
    }

    std::optional<RealtimeKitLimits> realtimeKit() override { return readRealtimeKitLimits(); }

    bool capRealtimeRunTime(int64_t micros) override
    {
        rlimit limit{};
        if (micros <= 0 || getrlimit(RLIMIT_RTTIME, &limit) != 0)
            return false;
        const rlim_t cap = rlim_t(micros);
        if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max <= cap)
            return true; // capped tighter already
        limit.rlim_max = cap;
        limit.rlim_cur = std::min(limit.rlim_cur, cap); // RLIM_INFINITY is the largest value
        return setrlimit(RLIMIT_RTTIME, &limit) == 0;
    }

    bool askRealtimeKit(int priority) override { return askRealtimeKitFor(uint64_t(gettid()), priority); }
};

} // namespace

RealtimeOutcome makeRealtimeOnPlatform(int wanted)
{
    LinuxRealtime system;
    return chooseRealtime(system, wanted);
}
