#include "play/held_messages.h"

void HeldMessages::hold(MidiMessage message, int64_t now)
{
    // Forgetting here too keeps the list short however long a load takes.
    forgetOlderThan(now);
    m_held.push_back({now, message});
}

std::vector<MidiMessage> HeldMessages::release(int64_t now)
{
    forgetOlderThan(now);
    std::vector<MidiMessage> messages;
    messages.reserve(m_held.size());
    for (const Held& held : m_held)
        messages.push_back(held.message);
    m_held.clear();
    return messages;
}

void HeldMessages::forgetOlderThan(int64_t now)
{
    while (!m_held.empty() && now - m_held.front().sent > kKeepFor)
        m_held.pop_front();
}
