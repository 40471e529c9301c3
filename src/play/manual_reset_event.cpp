#include "play/manual_reset_event.h"

void ManualResetEvent::set()
{
    {
        std::lock_guard lock(m_mutex);
        m_signalled = true;
        ++m_sets;
    }
    m_changed.notify_all();
}

void ManualResetEvent::reset()
{
    std::lock_guard lock(m_mutex);
    m_signalled = false;
}

uint64_t ManualResetEvent::setCount() const
{
    std::lock_guard lock(m_mutex);
    return m_sets;
}

void ManualResetEvent::wake()
{
    {
        std::lock_guard lock(m_mutex); // a waiter between check and sleep still sees it
    }
    m_changed.notify_all();
}
