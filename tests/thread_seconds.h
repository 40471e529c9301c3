#pragma once

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <ctime>
#endif

// The processor time this thread spends on work: timing tests and benchmarks
// must hold on a shared machine, where wall time counts the other programs too.
template <class Work>
double threadSecondsOf(Work&& work)
{
    auto now = [] {
#if defined(_WIN32)
        FILETIME created, exited, kernel, user;
        GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
        auto seconds = [](const FILETIME& t) {
            return double((unsigned long long)t.dwHighDateTime << 32 | t.dwLowDateTime) * 1e-7;
        };
        return seconds(kernel) + seconds(user);
#else
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
#endif
    };
    const double start = now();
    work();
    return now() - start;
}
