#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstddef>

namespace vorkel::bench {

/// Entry counts every suite runs at, and the two the targets are set for.
inline void allSizes(benchmark::internal::Benchmark* b) {
    for (long n : {10'000L, 100'000L, 1'000'000L}) b->Arg(n);
}
inline void targetSizes(benchmark::internal::Benchmark* b) {
    for (long n : {100'000L, 1'000'000L}) b->Arg(n);
}

/// Wall-clock seconds since `start`.
inline double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

/// The entry count a sized benchmark runs at.
inline std::size_t entryCount(const benchmark::State& state) {
    return static_cast<std::size_t>(state.range(0));
}

/// Bytes as MB (10^6), for counters.
inline double megabytes(std::size_t bytes) {
    return static_cast<double>(bytes) / 1e6;
}

}  // namespace vorkel::bench
