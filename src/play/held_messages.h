#pragma once

#include "play/midi_output.h"

#include <cstdint>
#include <deque>
#include <vector>

// Messages sent before the synthesizer can sound, each kept for a second: a
// preview asked for while the SoundFont loads plays once it is in, unless
// that comes so late that it would no longer belong to the key that asked.
// Times are in microseconds.
class HeldMessages {
public:
    static constexpr int64_t kKeepFor = 1'000'000;

    void hold(MidiMessage message, int64_t now);
    // The messages held no longer than kKeepFor at now, oldest first; the
    // list is empty afterwards.
    std::vector<MidiMessage> release(int64_t now);

private:
    void forgetOlderThan(int64_t now);

    struct Held {
        int64_t sent;
        MidiMessage message;
    };
    std::deque<Held> m_held;
};
