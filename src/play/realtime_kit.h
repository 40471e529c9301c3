#pragma once

#include "play/realtime_priority.h"

#include <cstdint>
#include <optional>

// RealtimeKit (org.freedesktop.RealtimeKit1 on the system bus), the service
// through which desktop audio programs get real-time scheduling when the
// user's limits do not allow it. Each call is one blocking round trip of at
// most a second.

// The service's limits; nothing when it cannot be reached. Once it could
// not be, it is not asked again.
std::optional<RealtimeKitLimits> readRealtimeKitLimits();

// Asks the service to make the thread (its kernel id, of this process)
// real-time at priority. The process's RLIMIT_RTTIME must be capped first.
bool askRealtimeKitFor(uint64_t threadId, int priority);
