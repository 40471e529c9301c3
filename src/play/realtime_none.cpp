#include "play/realtime_priority.h"

// Systems other than Linux and Windows: the threads run at normal priority.
RealtimeOutcome makeRealtimeOnPlatform(int)
{
    return {RealtimeOutcome::Way::Normal, 0, "not asked for on this system"};
}
