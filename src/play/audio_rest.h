#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

// Keeps an audio output running only while there is something to hear: a
// running output costs processor time even when it plays silence. The output
// stops once nothing has sounded for a while and starts again for the next
// note. Times are in microseconds.
class AudioRest {
public:
    // What is started and stopped; called only from check().
    class Output {
    public:
        virtual ~Output() = default;
        // False when the output cannot play.
        virtual bool start() = 0;
        virtual void stop() = 0;
        // Voices still sounding, released ones ringing out included.
        virtual int soundingVoices() = 0;
    };

    // output is running from now on; it stops after quietFor without sound.
    AudioRest(Output& output, int64_t now, int64_t quietFor);
    // Ends the thread, if there is one; leaves the output as it is.
    ~AudioRest();
    AudioRest(const AudioRest&) = delete;
    AudioRest& operator=(const AudioRest&) = delete;

    // A note has been given to the synthesizer: the output runs, or starts at
    // the next check. Never waits for the output.
    void wake();
    // Starts a woken output, stops one that has been quiet for quietFor.
    void check(int64_t now);
    bool running() const { return m_running; }

    // Checks on a thread of its own by the steady clock: soon after a wake,
    // and every tenth of a second while the output runs.
    void startThread();

private:
    void run();

    Output& m_output;
    const int64_t m_quietFor;
    int64_t m_lastSound;            // touched by check() only
    std::atomic<bool> m_running{true};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_woken = false;
    bool m_ending = false;
    std::thread m_thread;
};
