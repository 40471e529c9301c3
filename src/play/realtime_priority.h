#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Real-time scheduling for the threads whose timing is heard: the playback
// thread and the built-in synthesizer's audio thread. On a busy machine a
// thread at normal priority wakes up milliseconds late; a real-time one
// pre-empts everything else. Where the system does not grant it, the thread
// runs at normal priority: that is never an error.

enum class ThreadRole { Playback, Audio };

// The priority each role asks for; the audio thread above the playback
// thread, so that a note sent never delays the sound being rendered.
int realtimePriorityFor(ThreadRole role);

struct RealtimeOutcome {
    enum class Way {
        Direct,      // set by the thread itself: the user's limits allow it
        RealtimeKit, // granted by the system service over D-Bus
        Already,     // real-time before we asked (an audio server's thread)
        Normal,      // not granted
    };
    Way way = Way::Normal;
    int priority = 0; // the real-time priority granted; 0 for Normal
    std::string note; // why not, for Normal; how, where a platform says more

    bool realtime() const { return way != Way::Normal; }
};

// What the system says RealtimeKit allows a program.
struct RealtimeKitLimits {
    int maxPriority = 0;
    int64_t rtTimeMaxMicros = 0; // the most RLIMIT_RTTIME it accepts
};

// The system calls the choice makes, for the calling thread. Linux brings
// the kernel and RealtimeKit; tests bring their own answers.
class RealtimeSystem {
public:
    virtual ~RealtimeSystem() = default;
    virtual bool isRealtime() = 0;
    // RLIMIT_RTPRIO: the highest priority the user may set without a
    // privilege; 0 when none.
    virtual int realtimePriorityLimit() = 0;
    // Real-time scheduling at priority, set directly; false when refused.
    virtual bool setRealtime(int priority) = 0;
    // RealtimeKit's limits; nothing when the service cannot be reached.
    virtual std::optional<RealtimeKitLimits> realtimeKit() = 0;
    // Caps RLIMIT_RTTIME at micros, as RealtimeKit requires: a real-time
    // thread that runs that long without sleeping is stopped by the kernel.
    virtual bool capRealtimeRunTime(int64_t micros) = 0;
    // Asks RealtimeKit for real-time scheduling at priority.
    virtual bool askRealtimeKit(int priority) = 0;
};

// The choice: a thread already real-time stays as it is; else real-time set
// directly at wanted (or the user's lower limit); else through RealtimeKit
// at wanted (or its lower limit); else normal priority.
RealtimeOutcome chooseRealtime(RealtimeSystem& system, int wanted);

// One line for the log: which thread runs at what priority, and how.
std::string describeRealtime(ThreadRole role, const RealtimeOutcome& outcome);

// Asks for real-time scheduling for the calling thread the way the platform
// allows, and logs the outcome. Blocks for a D-Bus round trip where
// RealtimeKit is asked.
RealtimeOutcome makeThisThreadRealtime(ThreadRole role);

// Logs the outcome under "zolva.realtime" when it differs from this role's
// last one (QT_LOGGING_RULES="zolva.realtime.info=true" shows it).
void logRealtime(ThreadRole role, const RealtimeOutcome& outcome);

// Whether makeThisThreadRealtime() made the calling thread real-time.
bool thisThreadIsRealtime();

// The platform's own way, for the calling thread: Linux through
// chooseRealtime(), Windows through the multimedia class scheduler.
RealtimeOutcome makeRealtimeOnPlatform(int wanted);
