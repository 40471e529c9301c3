#pragma once

#include "play/midi_output.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Stands in for the output while it is closed and opened again off the
// user-interface thread. What is sent meanwhile is kept and handed to the
// opened output: every message of the user-interface thread (a preview the
// user asked for during the restart is never lost), and of the others those
// of the last second, as the built-in synthesizer holds them while it loads.
// After the handing over, what still reaches it goes straight on.
class HoldingOutput : public MidiOutput {
public:
    static constexpr int64_t kKeepFor = 1'000'000;   // µs
    static constexpr size_t kMostKept = 4096;

    explicit HoldingOutput(std::thread::id uiThread) : m_uiThread(uiThread) {}

    void setVolume(uint32_t) override {}
    void send(MidiMessage message) override;
    void close() override;

    // Sends what is kept to output (null: drops it) at now and passes what
    // comes later on to it.
    void handOver(const std::shared_ptr<MidiOutput>& output, int64_t now);

private:
    struct Kept {
        int64_t sent;
        MidiMessage message;
        bool fromUi;
    };
    const std::thread::id m_uiThread;
    std::mutex m_mutex;
    std::vector<Kept> m_kept;
    std::shared_ptr<MidiOutput> m_next;
    bool m_handedOver = false;
};
