// vorkel-bench: Google Benchmark's main, plus the child mode that measures an open's memory in
// a process of its own.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include "PeakMemory.h"
#include "StoreGenerator.h"

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], vorkel::bench::kOpenPeakSwitch) == 0)
        return vorkel::bench::runOpenPeakChild(argv[2]);
    // Writes a generated store, for timing whole programs over it (the CLI's list, the window).
    if (argc == 4 && std::strcmp(argv[1], "--write-store") == 0) {
        vorkel::bench::StoreGenerator generator(42);
        vorkel::bench::writeStore(generator.entries(std::strtoul(argv[2], nullptr, 10)), argv[3]);
        return 0;
    }

    // Some virtual machines fault freshly mapped memory in from the host at a small fraction of
    // memory speed, which then swamps what the core itself costs. With VORKEL_BENCH_WARM_HEAP
    // set, the heap keeps what it frees, so repeated rounds reuse memory that is already there.
    const char* warm = std::getenv("VORKEL_BENCH_WARM_HEAP");
    const bool warmHeap = warm != nullptr && *warm != '\0' && std::strcmp(warm, "0") != 0;
    if (warmHeap) {
        mallopt(M_MMAP_MAX, 0);
        mallopt(M_TRIM_THRESHOLD, INT_MAX);
    }
    benchmark::AddCustomContext("heap", warmHeap ? "warm (VORKEL_BENCH_WARM_HEAP)" : "default");

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
