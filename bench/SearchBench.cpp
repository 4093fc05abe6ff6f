// The advanced search over every entry's title and notes.
#include <benchmark/benchmark.h>

#include "BenchStores.h"
#include "BenchSupport.h"
#include "core/entries/EntryList.h"
#include "core/storage/SettingsDocument.h"
#include "core/tools/AdvancedSearch.h"

namespace vorkel::bench {
namespace {

// One RunSearch: a word found in about a third of the notes (so building the results and their
// excerpts counts), and text found nowhere (so every note is scanned to its end).
void RunSearch(benchmark::State& state, std::string_view text) {
    const EntryList& list = BenchStores::instance().workspace(entryCount(state)).master();
    std::size_t results = 0;
    for (auto _ : state) {
        SearchResults r = vorkel::RunSearch(list, text);
        results = r.hits.size();
        benchmark::DoNotOptimize(r.hits.data());
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

// The worst input for a search that steps back: a 4 MB note of near-misses of a 4,000-character
// text. Linear search makes it cost about as much as any other 4 MB.
void RunSearchNearMisses(benchmark::State& state) {
    Entry::Texts t{};
    t[index(Field::Title)] = "x";
    t[index(Field::Detail)] = std::string(std::size_t(4) << 20, 'a');
    EntryList list;
    list.append(Entry::create(0, t));
    const std::string text = std::string(3999, 'a') + "b";
    for (auto _ : state) {
        SearchResults r = vorkel::RunSearch(list, text);
        benchmark::DoNotOptimize(r.hits.data());
    }
}
BENCHMARK(RunSearchNearMisses)->UseRealTime()->Unit(benchmark::kMillisecond);

// Opening a settings document with 80,000 password types (about 1 MB).
void ParseManyPassTypes(benchmark::State& state) {
    Settings s;
    for (int i = 0; i < 80000; ++i) s.passTypes.push_back("type " + std::to_string(i));
    const SecureBytes document = settingsdoc::serialize(s, "/p", "u", "m");
    for (auto _ : state) {
        Settings back;
        settingsdoc::parse(document, back);
        benchmark::DoNotOptimize(back.passTypes.data());
    }
}
BENCHMARK(ParseManyPassTypes)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorkel::bench
