#pragma once

#include <cstdint>
#include <span>
#include <vector>

// The latest samples heard, by their frame since the first: a ring of a fixed
// size, so that a stretch just behind the newest sample can be looked at
// again without keeping everything.
class SoundHistory {
public:
    explicit SoundHistory(size_t capacity);

    void append(std::span<const float> samples);
    // Frames appended so far.
    int64_t end() const { return m_end; }
    // Copies frames from .. from + out.size() into out: zeros for frames
    // never heard or already dropped from the ring.
    void copy(int64_t from, std::span<float> out) const;

private:
    std::vector<float> m_ring;
    int64_t m_end = 0;
};
