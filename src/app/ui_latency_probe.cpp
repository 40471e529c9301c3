#include "app/ui_latency_probe.h"

#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdlib>

namespace {

constexpr int kIntervalMs = 1;

int64_t steadyMicros()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

std::unique_ptr<UiLatencyProbe> UiLatencyProbe::fromEnvironment()
{
    const char* path = std::getenv("ZOLVA_UI_PROBE");
    if (!path || !*path)
        return nullptr;
    std::FILE* file = std::fopen(path, "w");
    if (!file)
        return nullptr;
    return std::unique_ptr<UiLatencyProbe>(new UiLatencyProbe(file));
}

UiLatencyProbe::UiLatencyProbe(std::FILE* file) : m_file(file), m_timer(new QTimer(this))
{
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(kIntervalMs);
    connect(m_timer, &QTimer::timeout, this, &UiLatencyProbe::answer);
    m_last = steadyMicros();
    m_timer->start();
}

UiLatencyProbe::~UiLatencyProbe()
{
    std::fclose(m_file);
}

void UiLatencyProbe::answer()
{
    const int64_t now = steadyMicros();
    const int64_t late = std::max<int64_t>(now - m_last - kIntervalMs * 1000, 0);
    m_last = now;
    std::fprintf(m_file, "%lld %lld\n", static_cast<long long>(now), static_cast<long long>(late));
}
