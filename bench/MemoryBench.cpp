// Peak memory of an open, measured in a fresh child process.
#include <benchmark/benchmark.h>

#include "BenchStores.h"
#include "BenchSupport.h"
#include "PeakMemory.h"

namespace vorkel::bench {
namespace {

void OpenPeakMemory(benchmark::State& state) {
    const StoreFile& file = BenchStores::instance().store(entryCount(state));
    OpenMemory m;
    for (auto _ : state) m = measureOpenPeak(file.path);
    const double plain = static_cast<double>(file.plainSize);
    state.counters["doc_MB"] = megabytes(file.plainSize);
    state.counters["peak_MB"] = megabytes(m.peakOpen);
    state.counters["x_doc"] = static_cast<double>(m.peakOpen) / plain;
    state.counters["held_x_doc"] = static_cast<double>(m.heldOpen) / plain;
    state.counters["decrypt_x_doc"] = static_cast<double>(m.peakAfterDecrypt) / plain;
    state.counters["parse_x_doc"] = static_cast<double>(m.peakAfterParse) / plain;
    state.counters["load_x_doc"] = static_cast<double>(m.peakLoad) / plain;
    state.counters["load_held_x_doc"] = static_cast<double>(m.heldLoad) / plain;
}
BENCHMARK(OpenPeakMemory)
    ->Apply(allSizes)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorkel::bench
