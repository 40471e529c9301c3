#include "listen/stretch_frequencies.h"

#include <aubio/aubio.h>

#include <algorithm>
#include <cmath>

struct StretchFrequencies::Fft {
    explicit Fft(uint_t size) : fft(new_aubio_fft(size)), in(new_fvec(size)), out(new_cvec(size)) {}
    ~Fft()
    {
        del_aubio_fft(fft);
        del_fvec(in);
        del_cvec(out);
    }
    aubio_fft_t* fft;
    fvec_t* in;
    cvec_t* out;
};

namespace {

uint_t fftSizeFor(size_t length, size_t padding)
{
    uint_t size = 1;
    while (size < padding * length)
        size *= 2;
    return size;
}

} // namespace

StretchFrequencies::StretchFrequencies(size_t length, int sampleRate, size_t padding)
    : m_fft(std::make_unique<Fft>(fftSizeFor(length, padding))), m_window(std::max<size_t>(length, 2))
{
    const size_t n = m_window.size();
    double sum = 0.0;
    for (size_t i = 0; i < n; ++i) {
        m_window[i] = float(0.5 - 0.5 * std::cos(2.0 * M_PI * double(i) / double(n)));
        sum += m_window[i];
    }
    // A sine of amplitude a peaks at a · sum / 2.
    m_windowGain = sum / 2.0;
    m_binHz = double(sampleRate) / double(m_fft->in->length);
}

StretchFrequencies::~StretchFrequencies() = default;

void StretchFrequencies::analyse(std::span<const float> stretch)
{
    fvec_t* in = m_fft->in;
    std::fill(in->data, in->data + in->length, 0.0f);
    const size_t n = std::min(stretch.size(), m_window.size());
    for (size_t i = 0; i < n; ++i)
        in->data[i] = stretch[i] * m_window[i];
    aubio_fft_do(m_fft->fft, in, m_fft->out);
}

double StretchFrequencies::levelOf(size_t bin) const
{
    const double magnitude = m_fft->out->norm[bin] / m_windowGain;
    return magnitude > 0.0 ? std::max(20.0 * std::log10(magnitude), kQuietestLevel) : kQuietestLevel;
}

size_t StretchFrequencies::binOf(double hz) const
{
    const double last = double(m_fft->out->length - 1);
    return size_t(std::clamp(std::round(hz / m_binHz), 0.0, last));
}

std::vector<FrequencyPeak> StretchFrequencies::peaks(double loHz, double hiHz) const
{
    std::vector<FrequencyPeak> found;
    const size_t last = m_fft->out->length - 1;
    const size_t from = std::max<size_t>(binOf(loHz), 1);
    const size_t to = std::min(binOf(hiHz), last - 1);
    const smpl_t* norm = m_fft->out->norm;
    for (size_t b = from; b <= to; ++b) {
        if (!(norm[b] > norm[b - 1] && norm[b] >= norm[b + 1]))
            continue;
        const double left = levelOf(b - 1), mid = levelOf(b), right = levelOf(b + 1);
        const double curve = left - 2.0 * mid + right;
        const double offset = curve < 0.0 ? 0.5 * (left - right) / curve : 0.0;
        found.push_back({(double(b) + offset) * m_binHz, mid - 0.25 * (left - right) * offset});
    }
    return found;
}

double StretchFrequencies::levelNear(double hz, double widthHz) const
{
    double loudest = kQuietestLevel;
    for (size_t b = binOf(hz - widthHz), to = binOf(hz + widthHz); b <= to; ++b)
        loudest = std::max(loudest, levelOf(b));
    return loudest;
}

double StretchFrequencies::medianLevel(double loHz, double hiHz) const
{
    std::vector<double> levels;
    for (size_t b = binOf(loHz), to = binOf(hiHz); b <= to; ++b)
        levels.push_back(levelOf(b));
    if (levels.empty())
        return kQuietestLevel;
    std::nth_element(levels.begin(), levels.begin() + std::ptrdiff_t(levels.size() / 2), levels.end());
    return levels[levels.size() / 2];
}
