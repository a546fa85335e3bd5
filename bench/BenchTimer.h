#pragma once
// Timing for the benchmarks: the median of several runs of a piece of work, and the report
// line "name: value unit (ratio x vs reference)", where the ratio is our time divided by the
// reference's time measured in the same run (below 1 means we are faster).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace tachy::bench {

template <typename Work> double medianMilliseconds(int runs, Work&& work) {
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(runs));
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

inline void report(const std::string& name, double ours, double reference,
                   const std::string& referenceName, const char* unit = "ms") {
    std::printf("%s: %.3f %s (%.2fx vs %s)\n", name.c_str(), ours, unit, ours / reference,
                referenceName.c_str());
    std::fflush(stdout);
}

} // namespace tachy::bench
