#include "app/time_limit.h"

#include <cstdio>
#include <cstdlib>

ProcessTimeLimit::ProcessTimeLimit(std::chrono::milliseconds limit, int status, std::string message)
    : m_watch([this, limit, status, message = std::move(message)] {
          std::unique_lock lock(m_mutex);
          if (m_done.wait_for(lock, limit, [this] { return m_disarmed; }))
              return;
          // Still holding the lock: disarm() cannot return any more, so
          // nothing the work does after it is cut short.
          std::fputs(message.c_str(), stderr);
          std::fputc('\n', stderr);
          std::_Exit(status);
      })
{
}

ProcessTimeLimit::~ProcessTimeLimit()
{
    disarm();
    m_watch.join();
}

void ProcessTimeLimit::disarm()
{
    {
        std::lock_guard lock(m_mutex);
        m_disarmed = true;
    }
    m_done.notify_one();
}
