#pragma once

#include "listen/pitch_reader.h"
#include "listen/tine_pitch.h"
#include "listen/tone_refiner.h"

#include <optional>
#include <utility>
#include <vector>

// What the tuner shows: the pitch of a tone heard steadily, the tine of the
// tuning it is nearest to, and each tine's last reading.
struct TunerReading {
    int64_t frame = 0; // the last sample heard when it was read
    double hz = 0.0;
    NearestTine nearest;
};

// Listens for steady tones: YIN finds a tone and follows it, and the tone's
// spectrum, over all of it heard so far, gives its pitch to a fraction of a
// cent.
class Tuner {
public:
    // Confident readings in a row that make a tone (17 ms).
    static constexpr int kSteadyReadings = 3;
    // Readings further apart than this, in cents, are another tone.
    static constexpr double kSameTone = 50.0;
    // Readings between two refinements of a tone that goes on (46 ms).
    static constexpr int kRefineEvery = 8;

    Tuner(int sampleRate, TineTuning tuning);

    // Listens to samples; the newest reading among them, if any.
    std::optional<TunerReading> feed(std::span<const float> samples);
    // Each tine's last reading in cents, tine 1 first; none for a tine not
    // heard yet.
    const std::vector<std::optional<double>>& tineCents() const { return m_tineCents; }
    const TineTuning& tuning() const { return m_tuning; }

private:
    void follow(const PitchReading& reading);
    // Where the tone heard at frame began.
    int64_t pluckedBefore(int64_t frame) const;

    TineTuning m_tuning;
    std::pair<double, double> m_range; // Hz: tones outside are none of its tines
    PitchReader m_pitch;
    ToneRefiner m_refiner;
    std::vector<float> m_heard; // the last samples, enough for the longest look
    int64_t m_frames = 0;
    // The tone followed: where it began, its rough pitch, its readings.
    int64_t m_toneStart = 0;
    double m_toneHz = 0.0;
    int m_toneReadings = 0;
    int m_sinceRefined = 0;
    int m_unsure = 0;    // unsure readings in a row
    int m_elsewhere = 0; // readings in a row far from the tone
    std::vector<std::optional<double>> m_tineCents;
};
