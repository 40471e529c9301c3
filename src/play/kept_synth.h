#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class SynthAudio;
class SynthEngine;

// The built-in synthesizer as its last close left it: the engine with its
// SoundFont loaded and its audio output still running. The program closes and
// reopens its output at every Stop; taking both back makes that reopen
// instant, where stopping an output waits for its audio thread, which
// PulseAudio can hold for up to two seconds after the output started.
class KeptSynth {
public:
    // The one the built-in synthesizer uses.
    static KeptSynth& builtIn();
    // Really closes what is kept.
    ~KeptSynth();

    // Keeps audio, whose engine holds soundFont, with every sound cut and the
    // controllers set back; what was kept before really closes.
    void keep(std::string soundFont, std::unique_ptr<SynthAudio> audio);
    // What is kept, when it holds soundFont and plays with these settings;
    // else null, and it stays kept.
    std::unique_ptr<SynthAudio> take(const std::string& soundFont, const std::vector<std::string>& drivers,
                                     std::chrono::milliseconds restAfter);
    // The kept engine, its output stopped, when it holds soundFont; else
    // null. Either way nothing is kept afterwards.
    std::unique_ptr<SynthEngine> takeEngine(const std::string& soundFont);
    // Really closes what is kept: its output stops and its threads end.
    void close();

private:
    std::unique_ptr<SynthAudio> takeAll(std::string* soundFont = nullptr);

    std::mutex m_mutex;
    std::string m_soundFont;
    std::unique_ptr<SynthAudio> m_audio;
};
