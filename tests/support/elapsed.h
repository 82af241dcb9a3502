#pragma once

// Wall-clock time as tests and benchmarks measure it.

#include <chrono>

using Clock = std::chrono::steady_clock;

inline long msSince(Clock::time_point start) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}
