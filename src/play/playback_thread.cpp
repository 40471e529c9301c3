#include "play/playback_thread.h"

#include "play/playback_run.h"
#include "play/tied_views.h"

PlaybackThread::PlaybackThread(MidiSession& midi, PlaybackWindow& window, TiedViews& tied, PlayClock& clock)
    : m_midi(midi), m_window(window), m_tied(tied), m_clock(clock)
{
}

PlaybackThread::~PlaybackThread()
{
    // Without a time limit: the thread holds the window and the note list,
    // which die with the view right after this. Its waits end at the stop,
    // so this takes no longer than a strummed chord.
    requestStop();
    if (m_thread.joinable())
        m_thread.join();
}

bool PlaybackThread::play(const PlaybackSetup& setup)
{
    if (m_playing)
        return false;
    // A thread still winding down ends first: its waits were cut short.
    if (m_thread.joinable())
        m_thread.join();
    m_stop.clear();
    m_cursor = setup.start;
    m_running = true;
    m_playing = true;
    m_thread = std::thread([this, setup] { run(setup); });
    return true;
}

void PlaybackThread::requestStop()
{
    m_playing = false;
    m_stop.raise();
    m_tied.wakeWaiters();
}

bool PlaybackThread::stop(std::chrono::milliseconds wait)
{
    requestStop();
    if (!m_thread.joinable())
        return true;
    {
        std::unique_lock lock(m_endMutex);
        if (!m_ended.wait_for(lock, wait, [this] { return !m_running.load(); }))
            return false;
    }
    m_thread.join();
    return true;
}

void PlaybackThread::run(PlaybackSetup setup)
{
    m_clock.prepareThread();
    PlaybackRun({m_midi, m_window, m_tied, m_clock, m_stop, m_playing, m_cursor}, setup).run();
    {
        std::lock_guard lock(m_endMutex);
        m_running = false;
    }
    m_ended.notify_all();
}
