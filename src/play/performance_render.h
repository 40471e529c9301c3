#pragma once

#include "play/midi_recorder.h"
#include "play/playback_thread.h"
#include "play/practice_controls.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

class MessageSink;
class XPxmlNode;

// What a performance plays: a document's music from its first element, at a
// practice speed, with or without the metronome.
struct PerformanceMusic {
    XPxmlNode* noteList = nullptr;
    int tineCount = 0;
    std::array<int32_t, PlaybackSetup::kMaxTines> tineKeys{};
    int speed = kNormalSpeedPercent;
    bool metronome = false;
};

struct PerformanceTempo {
    int64_t micros = 0;
    int64_t microsPerQuarter = 0; // at the performance's speed
};

// Where the cursor went as the piece played, and when.
struct PerformanceStep {
    int64_t micros = 0;
    XPxmlNode* element = nullptr;
};

// The messages playback sends for a piece, stamped from 0 at its first
// element, the tempo the music is in as it goes, and the cursor's way.
struct Performance {
    std::vector<RecordedMidiMessage> messages;
    std::vector<PerformanceStep> steps;
    std::vector<PerformanceTempo> tempos; // the first at 0
    int64_t length = 0;              // when the last message was sent
    bool cut = false;                // it repeats until stopped: only kLongestPerformance of it
};

inline constexpr int64_t kLongestPerformance = 30LL * 60 * 1000000; // µs

// Plays music through the playback engine on a clock that jumps to each
// deadline, into a recorder instead of a device: what Play sends, without
// the count-in, as fast as it can be made. The instrument is the one the
// settings choose, as for Play. Runs on a thread of its own and returns when
// the music ends, or soon after cancelled (may be null) is set.
Performance renderPerformance(MessageSink& messages, const PerformanceMusic& music,
                              const std::atomic<bool>* cancelled = nullptr);
