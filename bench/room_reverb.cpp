#include "room_reverb.h"

#include "listen/heard_sounds.h"

#include "play/synth_engine.h"

#include <cmath>
#include <complex>

namespace {

using Spectrum = std::vector<std::complex<double>>;

// In place, a power-of-two length; the inverse unscaled.
void transform(Spectrum& a, bool inverse)
{
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (size_t half = 1; half < n; half *= 2) {
        for (size_t k = 0; k < half; ++k) {
            const std::complex<double> turn = std::polar(1.0, (inverse ? M_PI : -M_PI) * double(k) / double(half));
            for (size_t i = k; i < n; i += 2 * half) {
                const std::complex<double> u = a[i], v = a[i + half] * turn;
                a[i] = u + v;
                a[i + half] = u - v;
            }
        }
    }
}

std::vector<double> impulseResponse(const Room& room)
{
    constexpr double kRate = SynthEngine::kSampleRate;
    const size_t delay = size_t(room.firstEcho * kRate);
    std::vector<double> response(delay + size_t(room.rt60 * kRate), 0.0);
    std::minstd_rand random(room.seed);
    double energy = 0.0;
    for (size_t i = delay; i < response.size(); ++i) {
        // 60 dB down in amplitude after rt60: a factor of 10^-3.
        const double t = double(i - delay) / kRate;
        response[i] = std::pow(10.0, -3.0 * t / room.rt60) * evenlyBetweenMinusOneAndOne(random);
        energy += response[i] * response[i];
    }
    const double gain = std::sqrt(std::pow(10.0, room.tailToDirect / 10.0) / energy);
    for (size_t i = delay; i < response.size(); ++i)
        response[i] *= gain;
    response[0] = 1.0;
    return response;
}

} // namespace

std::vector<float> heardInRoom(std::span<const float> dry, const Room& room)
{
    // Convolved through the spectrum: the tail is too long to sum sample by
    // sample for every pluck.
    const std::vector<double> response = impulseResponse(room);
    size_t n = 1;
    while (n < dry.size() + response.size())
        n *= 2;
    Spectrum sound(n), echo(n);
    std::copy(dry.begin(), dry.end(), sound.begin());
    std::copy(response.begin(), response.end(), echo.begin());
    transform(sound, false);
    transform(echo, false);
    for (size_t i = 0; i < n; ++i)
        sound[i] *= echo[i];
    transform(sound, true);
    std::vector<float> wet(dry.size());
    for (size_t i = 0; i < wet.size(); ++i)
        wet[i] = float(sound[i].real() / double(n));
    return wet;
}
