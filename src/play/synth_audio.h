#pragma once

#include "play/audio_rest.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

class SynthEngine;
struct _fluid_audio_driver_t;

// The built-in synthesizer's engine playing through the system's audio. The
// output runs only while there is something to hear: it stops when nothing
// has sounded for a while and starts again for the next note. It is the
// audio thread's data, so it lives as long as the output runs.
class SynthAudio : private AudioRest::Output {
public:
    // engine playing through the first of drivers (FluidSynth's names, ""
    // for its own choice) that can play, resting after restAfter without
    // sound; null when none can.
    static std::unique_ptr<SynthAudio> start(std::unique_ptr<SynthEngine> engine,
                                             const std::vector<std::string>& drivers,
                                             std::chrono::milliseconds restAfter);
    // Stops the output.
    ~SynthAudio() override;
    SynthAudio(const SynthAudio&) = delete;
    SynthAudio& operator=(const SynthAudio&) = delete;

    SynthEngine& engine() const { return *m_engine; }
    // Whether this output was started with these settings.
    bool startedWith(const std::vector<std::string>& drivers, std::chrono::milliseconds restAfter) const;
    // A note has been given to the engine: a resting output starts.
    void noteGiven();
    // The engine alone, its output stopped.
    static std::unique_ptr<SynthEngine> stopAndTakeEngine(std::unique_ptr<SynthAudio> audio);

private:
    SynthAudio(std::unique_ptr<SynthEngine> engine, std::vector<std::string> drivers,
               std::chrono::milliseconds restAfter);
    bool startFirstDriver();
    bool start() override;
    void stop() override;
    int soundingVoices() override;
    static int render(void* data, int frames, int, float*[], int channels, float* out[]);

    std::unique_ptr<SynthEngine> m_engine;
    const std::vector<std::string> m_drivers;
    const std::chrono::milliseconds m_restAfter;
    std::unique_ptr<_fluid_audio_driver_t, void (*)(_fluid_audio_driver_t*)> m_driver; // started and stopped by m_rest
    std::unique_ptr<AudioRest> m_rest;
    bool m_realtimeAudio = false;                // chosen with the driver
    std::atomic<bool> m_audioThreadAsked{false}; // for real-time scheduling
};
