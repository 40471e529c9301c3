#include "sound_onsets.h"

#include "play/performance_audio.h"
#include "play/synth_engine.h"

#include <cmath>

namespace {

// Far below the quietest sound a note starts with (-120 dB).
constexpr float kSilence = 1e-6f;

bool isNoteOn(MidiMessage m)
{
    return (midiStatus(m) & 0xF0) == 0x90 && midiData2(m) != 0;
}

} // namespace

std::vector<float> renderSound(const Performance& performance, const std::string& soundFont)
{
    SynthEngine engine;
    engine.loadSoundFont(soundFont);
    std::vector<float> sound;
    renderPerformanceAudio(performance, engine, [&sound](std::span<const float> frames) {
        sound.insert(sound.end(), frames.begin(), frames.end());
        return true;
    });
    return sound;
}

std::vector<SoundOnset> soundOnsets(const Performance& performance, const std::string& soundFont,
                                    const std::vector<float>& sound)
{
    std::vector<SoundOnset> onsets;
    const auto& sent = performance.messages;
    for (size_t i = 0; i < sent.size(); ++i) {
        if (!isNoteOn(sent[i].message) || (i > 0 && sent[i - 1].micros == sent[i].micros && isNoteOn(sent[i - 1].message)))
            continue;
        Performance before;
        before.messages.assign(sent.begin(), sent.begin() + std::ptrdiff_t(i));
        const std::vector<float> without = renderSound(before, soundFont);
        SoundOnset onset;
        onset.scheduled = std::llround(double(sent[i].micros) * SynthEngine::kSampleRate / 1e6);
        for (size_t s = 0; s < sound.size(); ++s) {
            if (std::fabs(sound[s] - (s < without.size() ? without[s] : 0.0f)) > kSilence) {
                onset.heard = int64_t(s / 2);
                break;
            }
        }
        onsets.push_back(onset);
    }
    return onsets;
}
