// The advanced search over every entry's title and notes.
#include <benchmark/benchmark.h>

#include "BenchStores.h"
#include "BenchSupport.h"
#include "tools/AdvancedSearch.h"

namespace vorkel::bench {
namespace {

// One RunSearch: a word found in about a third of the notes (so building the result markup
// counts), and text found nowhere (so every note is scanned to its end).
void RunSearch(benchmark::State& state, std::string_view text) {
    const EntryList& list = BenchStores::instance().workspace(entryCount(state)).master();
    std::size_t results = 0;
    for (auto _ : state) {
        SearchResults r = vorkel::RunSearch(list, text);
        results = r.positions.size();
        benchmark::DoNotOptimize(r.items.data());
    }
    state.counters["results"] = static_cast<double>(results);
}
BENCHMARK_CAPTURE(RunSearch, common_word, std::string_view("harbour"))
    ->Apply(allSizes)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunSearch, no_match, std::string_view("zqxj"))
    ->Apply(allSizes)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorkel::bench
