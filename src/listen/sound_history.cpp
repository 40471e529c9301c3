#include "listen/sound_history.h"

#include <algorithm>

SoundHistory::SoundHistory(size_t capacity) : m_ring(std::max<size_t>(capacity, 1), 0.0f) {}

void SoundHistory::append(std::span<const float> samples)
{
    const int64_t size = int64_t(m_ring.size());
    for (float sample : samples)
        m_ring[size_t(m_end++ % size)] = sample;
}

void SoundHistory::copy(int64_t from, std::span<float> out) const
{
    const int64_t size = int64_t(m_ring.size());
    for (size_t i = 0; i < out.size(); ++i) {
        const int64_t frame = from + int64_t(i);
        const bool kept = frame >= 0 && frame < m_end && frame >= m_end - size;
        out[i] = kept ? m_ring[size_t(frame % size)] : 0.0f;
    }
}
