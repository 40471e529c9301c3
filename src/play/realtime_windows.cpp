#include "play/realtime_priority.h"

#include <windows.h>

#include <avrt.h>

RealtimeOutcome makeRealtimeOnPlatform(int)
{
    // The multimedia class scheduler raises the thread as far as the system
    // allows audio threads and takes it back down should it run away. The
    // registration lasts as long as the thread.
    DWORD taskIndex = 0;
    if (AvSetMmThreadCharacteristicsW(L"Pro Audio", &taskIndex))
        return {RealtimeOutcome::Way::Direct, 0, "multimedia class scheduler, Pro Audio"};
    if (SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL))
        return {RealtimeOutcome::Way::Direct, 0, "time-critical thread priority"};
    return {RealtimeOutcome::Way::Normal, 0, "the system refused a higher priority"};
}
