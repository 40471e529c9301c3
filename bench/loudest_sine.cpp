#include "loudest_sine.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

double powerAt(const std::vector<double>& windowed, double cyclesPerSample)
{
    const double coefficient = 2.0 * std::cos(2.0 * M_PI * cyclesPerSample);
    double previous = 0.0, beforeThat = 0.0;
    for (double x : windowed) {
        const double next = x + coefficient * previous - beforeThat;
        beforeThat = previous;
        previous = next;
    }
    return previous * previous + beforeThat * beforeThat - coefficient * previous * beforeThat;
}

} // namespace

double loudestSineNear(std::span<const float> stretch, double sampleRate, double nearHz, double withinCents)
{
    const size_t n = stretch.size();
    std::vector<double> windowed(n);
    for (size_t i = 0; i < n; ++i)
        windowed[i] = double(stretch[i]) * 0.5 * (1.0 - std::cos(2.0 * M_PI * double(i) / double(n)));
    const auto power = [&](double cents) { return powerAt(windowed, nearHz * std::exp2(cents / 1200.0) / sampleRate); };

    // Steps of a quarter of the spectrum's resolution land inside the peak's
    // main lobe, four resolutions wide.
    const double quarterResolution = 1200.0 * std::log2(1.0 + sampleRate / double(n) / 4.0 / nearHz);
    const double step = std::clamp(quarterResolution, 0.1, 5.0);
    double best = -withinCents, bestPower = -1.0;
    for (double cents = -withinCents; cents <= withinCents; cents += step) {
        const double p = power(cents);
        if (p > bestPower) {
            best = cents;
            bestPower = p;
        }
    }
    // Within the main lobe the power rises to one peak: golden sections.
    const double golden = (std::sqrt(5.0) - 1.0) / 2.0;
    double lo = best - step, hi = best + step;
    double a = hi - golden * (hi - lo), b = lo + golden * (hi - lo);
    double powerA = power(a), powerB = power(b);
    while (hi - lo > 1e-3) {
        if (powerA < powerB) {
            lo = a;
            a = b;
            powerA = powerB;
            b = lo + golden * (hi - lo);
            powerB = power(b);
        } else {
            hi = b;
            b = a;
            powerB = powerA;
            a = hi - golden * (hi - lo);
            powerA = power(a);
        }
    }
    return nearHz * std::exp2((lo + hi) / 2.0 / 1200.0);
}
