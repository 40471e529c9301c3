#pragma once

#include <memory>
#include <span>
#include <vector>

struct FrequencyPeak {
    double hz = 0.0;
    double level = 0.0; // dB of full scale: the amplitude of a sine this loud
};

// The frequencies in one stretch of sound of a fixed length: Hann-windowed and
// zero-padded to a power of two of at least padding times its length (aubio's
// FFT), so that peaks can be told apart by a few cents.
class StretchFrequencies {
public:
    static constexpr size_t kPadding = 2;

    StretchFrequencies(size_t length, int sampleRate, size_t padding = kPadding);
    ~StretchFrequencies();
    StretchFrequencies(const StretchFrequencies&) = delete;
    StretchFrequencies& operator=(const StretchFrequencies&) = delete;

    size_t length() const { return m_window.size(); }
    // Takes the stretch to look at: length() samples.
    void analyse(std::span<const float> stretch);

    // The local maxima between loHz and hiHz, their frequency and level
    // interpolated between bins.
    std::vector<FrequencyPeak> peaks(double loHz, double hiHz) const;
    // The loudest level within hz ± widthHz.
    double levelNear(double hz, double widthHz) const;
    // The level that half the bins between loHz and hiHz stay under.
    double medianLevel(double loHz, double hiHz) const;

private:
    struct Fft;
    double levelOf(size_t bin) const;
    size_t binOf(double hz) const;

    std::unique_ptr<Fft> m_fft;
    std::vector<float> m_window;
    double m_binHz = 0.0;
    double m_windowGain = 1.0;
};

// The level below which nothing counts as heard.
inline constexpr double kQuietestLevel = -120.0;
