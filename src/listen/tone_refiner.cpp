#include "listen/tone_refiner.h"

#include <aubio/aubio.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kSearchSemitones = 0.5;

} // namespace

struct ToneRefiner::Aubio {
    Aubio() : fft(new_aubio_fft(kPadded)), in(new_fvec(kPadded)), spectrum(new_cvec(kPadded)) {}
    ~Aubio()
    {
        if (fft)
            del_aubio_fft(fft);
        if (in)
            del_fvec(in);
        if (spectrum)
            del_cvec(spectrum);
    }
    bool valid() const { return fft && in && spectrum; }

    aubio_fft_t* fft;
    fvec_t* in;
    cvec_t* spectrum;
};

ToneRefiner::ToneRefiner(int sampleRate) : m_aubio(std::make_unique<Aubio>()), m_sampleRate(sampleRate) {}

ToneRefiner::~ToneRefiner() = default;

double ToneRefiner::refine(std::span<const float> tone, double roughHz)
{
    if (!m_aubio->valid() || roughHz <= 0.0 || tone.size() < 4)
        return roughHz;
    const size_t length = std::min(tone.size(), size_t(kLongest));
    const float* start = tone.data() + (tone.size() - length);
    fvec_zeros(m_aubio->in);
    for (size_t i = 0; i < length; ++i) {
        const double hann = 0.5 - 0.5 * std::cos(2.0 * M_PI * double(i) / double(length - 1));
        m_aubio->in->data[i] = smpl_t(hann * start[i]);
    }
    aubio_fft_do(m_aubio->fft, m_aubio->in, m_aubio->spectrum);

    const double binHz = double(m_sampleRate) / kPadded;
    const int last = int(m_aubio->spectrum->length) - 2;
    const int low = std::max(1, int(roughHz * std::exp2(-kSearchSemitones / 12) / binHz));
    const int high = std::min(last, int(roughHz * std::exp2(kSearchSemitones / 12) / binHz) + 1);
    int peak = -1;
    for (int bin = low; bin <= high; ++bin)
        if (peak < 0 || m_aubio->spectrum->norm[bin] > m_aubio->spectrum->norm[peak])
            peak = bin;
    if (peak <= low || peak >= high)
        return roughHz; // no peak inside the search, only its edge
    const double before = std::log(double(m_aubio->spectrum->norm[peak - 1]) + 1e-20);
    const double at = std::log(double(m_aubio->spectrum->norm[peak]) + 1e-20);
    const double after = std::log(double(m_aubio->spectrum->norm[peak + 1]) + 1e-20);
    const double bend = before - 2.0 * at + after;
    const double offset = bend < 0.0 ? 0.5 * (before - after) / bend : 0.0;
    return (peak + offset) * binHz;
}
