#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

// Ends the whole process with status, after printing message, when the work
// it guards runs past its time: other programs run some commands and wait
// for them, and no input may make one of those hang.
class ProcessTimeLimit {
public:
    ProcessTimeLimit(std::chrono::milliseconds limit, int status, std::string message);
    ~ProcessTimeLimit();
    ProcessTimeLimit(const ProcessTimeLimit&) = delete;
    ProcessTimeLimit& operator=(const ProcessTimeLimit&) = delete;

    // The work is done: the process is no longer ended. Once this returns,
    // the time can no longer run out, so what follows is never cut short.
    void disarm();

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_disarmed = false;
    std::thread m_watch;
};
