#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// The pitch of what is heard, read by aubio's YIN (its fast form)
// over the last kWindow samples, every kHop samples.
struct PitchReading {
    int64_t frame = 0;       // the last sample read, counted from the first fed
    double hz = 0.0;         // 0 for silence or no clear pitch
    double confidence = 0.0; // 0 … 1
};

class PitchReader {
public:
    static constexpr int kWindow = 2048; // 46 ms at 44.1 kHz: low tines fit twelve periods
    static constexpr int kHop = 256;     // a reading every 6 ms

    // Only the band between lowHz and highHz is listened to, when given: a
    // noisy room's hiss and rumble outside it blur YIN's periods.
    explicit PitchReader(int sampleRate, double lowHz = 0.0, double highHz = 0.0);
    ~PitchReader();
    PitchReader(const PitchReader&) = delete;
    PitchReader& operator=(const PitchReader&) = delete;

    // Takes samples; the readings of every hop completed.
    std::vector<PitchReading> feed(std::span<const float> samples);

private:
    struct Aubio;
    std::unique_ptr<Aubio> m_aubio;
    int m_filled = 0;
    int64_t m_frames = 0;
};
