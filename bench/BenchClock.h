#pragma once
// The clocks of the benchmarks: wall time since a start, and the CPU time of the calling thread
// (on a machine shared with other work the wall time overstates what a step costs).
#include <time.h>

#include <chrono>

namespace tessary::bench {

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

inline double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

}  // namespace tessary::bench
