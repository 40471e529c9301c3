#include "play/holding_output.h"

#include "play/play_clock.h"

void HoldingOutput::send(MidiMessage message)
{
    std::shared_ptr<MidiOutput> next;
    {
        std::lock_guard lock(m_mutex);
        if (!m_handedOver) {
            if (m_kept.size() < kMostKept)
                m_kept.push_back({midiClockMicros(), message, std::this_thread::get_id() == m_uiThread});
            return;
        }
        next = m_next;
    }
    if (next)
        next->send(message);
}

void HoldingOutput::close()
{
    std::lock_guard lock(m_mutex);
    m_kept.clear();
    m_handedOver = true;
    m_next.reset();
}

void HoldingOutput::handOver(const std::shared_ptr<MidiOutput>& output, int64_t now)
{
    // Under the lock, so that nothing sent meanwhile overtakes what is kept.
    std::lock_guard lock(m_mutex);
    if (m_handedOver)
        return;
    if (output)
        for (const Kept& kept : m_kept)
            if (kept.fromUi || now - kept.sent <= kKeepFor)
                output->send(kept.message);
    m_kept.clear();
    m_next = output;
    m_handedOver = true;
}
