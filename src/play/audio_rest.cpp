#include "play/audio_rest.h"

#include "play/play_clock.h"

#include <chrono>
#include <utility>

AudioRest::AudioRest(Output& output, int64_t now, int64_t quietFor)
    : m_output(output), m_quietFor(quietFor), m_lastSound(now)
{
}

AudioRest::~AudioRest()
{
    {
        std::lock_guard lock(m_mutex);
        m_ending = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void AudioRest::wake()
{
    {
        std::lock_guard lock(m_mutex);
        m_woken = true;
    }
    m_changed.notify_all();
}

void AudioRest::check(int64_t now)
{
    bool woken = false;
    {
        std::lock_guard lock(m_mutex);
        woken = std::exchange(m_woken, false);
    }
    if (!m_running) {
        if (!woken)
            return;
        // A note sent during the start sounds with it: the synthesizer holds
        // it until the output asks for sound.
        m_running = m_output.start();
        m_lastSound = now;
        return;
    }
    if (woken || m_output.soundingVoices() > 0) {
        m_lastSound = now;
        return;
    }
    if (now - m_lastSound >= m_quietFor) {
        m_output.stop();
        m_running = false;
    }
}

void AudioRest::startThread()
{
    m_thread = std::thread([this] { run(); });
}

void AudioRest::run()
{
    constexpr auto kLookEvery = std::chrono::milliseconds(100);
    std::unique_lock lock(m_mutex);
    while (!m_ending) {
        const auto due = [this] { return m_woken || m_ending; };
        if (m_running)
            m_changed.wait_for(lock, kLookEvery, due);
        else
            m_changed.wait(lock, due); // at rest: no time spent until a note
        if (m_ending)
            break;
        lock.unlock();
        check(midiClockMicros());
        lock.lock();
    }
}
