#include "rendered_kalimba.h"

#include "play/builtin_synth.h"
#include "play/performance_audio.h"
#include "play/performance_render.h"
#include "play/synth_engine.h"

#include <cmath>

namespace {

constexpr int kReverbSend = 91;
constexpr int kChorusSend = 93;

} // namespace

std::vector<float> renderKalimba(const std::vector<TimedMessage>& messages, double seconds)
{
    Performance performance;
    performance.messages.push_back({0, midiMessage(0xC0, kKalimbaProgram, 0)});
    // Dry, as a kalimba in the room: the synthesizer's chorus wavers the pitch.
    performance.messages.push_back({0, midiMessage(0xB0, kReverbSend, 0)});
    performance.messages.push_back({0, midiMessage(0xB0, kChorusSend, 0)});
    for (const TimedMessage& m : messages)
        performance.messages.push_back({std::llround(m.seconds * 1e6), m.message});
    SynthEngine engine;
    engine.loadSoundFont(builtInSoundFont());
    const size_t wanted = size_t(seconds * SynthEngine::kSampleRate);
    std::vector<float> mono;
    renderPerformanceAudio(performance, engine, [&](std::span<const float> frames) {
        for (size_t i = 0; i + 1 < frames.size() && mono.size() < wanted; i += 2)
            mono.push_back(0.5f * (frames[i] + frames[i + 1]));
        return mono.size() < wanted;
    });
    mono.resize(wanted, 0.0f);
    return mono;
}

std::vector<TimedMessage> pluck(int key, double cents, double seconds)
{
    // Two semitones either way over the bend's 14 bits.
    const int bend = std::clamp(8192 + int(std::lround(cents / 200.0 * 8192)), 0, 16383);
    return {{seconds, midiMessage(0xE0, bend & 0x7F, bend >> 7)}, {seconds, midiMessage(0x90, key, 100)}};
}
