#include "play/kept_synth.h"

#include "play/synth_audio.h"
#include "play/synth_engine.h"

#include <utility>

KeptSynth& KeptSynth::builtIn()
{
    static KeptSynth kept;
    return kept;
}

KeptSynth::~KeptSynth()
{
    close();
}

void KeptSynth::keep(std::string soundFont, std::unique_ptr<SynthAudio> audio)
{
    // The output runs on: nothing that sounded before the close may go on.
    audio->engine().reset();
    std::unique_ptr<SynthAudio> previous;
    {
        std::lock_guard lock(m_mutex);
        m_soundFont = std::move(soundFont);
        previous = std::exchange(m_audio, std::move(audio));
    }
}

std::unique_ptr<SynthAudio> KeptSynth::take(const std::string& soundFont, const std::vector<std::string>& drivers,
                                            std::chrono::milliseconds restAfter)
{
    std::lock_guard lock(m_mutex);
    if (!m_audio || m_soundFont != soundFont || !m_audio->startedWith(drivers, restAfter))
        return nullptr;
    return std::move(m_audio);
}

std::unique_ptr<SynthEngine> KeptSynth::takeEngine(const std::string& soundFont)
{
    std::string keptFor;
    std::unique_ptr<SynthAudio> audio = takeAll(&keptFor);
    if (!audio || keptFor != soundFont)
        return nullptr; // the audio, if any, really closes here
    return SynthAudio::stopAndTakeEngine(std::move(audio));
}

void KeptSynth::close()
{
    takeAll(); // stops outside the lock: an output can take a while to stop
}

std::unique_ptr<SynthAudio> KeptSynth::takeAll(std::string* soundFont)
{
    std::lock_guard lock(m_mutex);
    if (soundFont)
        *soundFont = m_soundFont;
    return std::move(m_audio);
}
