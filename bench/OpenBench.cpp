// Opening a data store: read, decipher, parse, build the entry list; against the physical limit
// of reading and deciphering the same file, measured in the same run.
#include <benchmark/benchmark.h>

#include "BenchStores.h"
#include "BenchSupport.h"
#include "PhysicalLimit.h"
#include "StoreGenerator.h"
#include "core/entries/EntryList.h"
#include "core/storage/Container.h"
#include "core/storage/DataStoreDocument.h"
#include "core/storage/XmlReader.h"

namespace vorkel::bench {
namespace {

using Clock = std::chrono::steady_clock;

void setStoreCounters(benchmark::State& state, const StoreFile& file) {
    state.counters["doc_MB"] = megabytes(file.plainSize);
    state.counters["B_per_entry"] =
        static_cast<double>(file.plainSize) / static_cast<double>(file.entries);
}

// The open the program does, timed; each iteration also times the limit just before it, so both
// see the same machine state. Tearing the list down again is not counted.
void Open(benchmark::State& state) {
    const StoreFile& file = BenchStores::instance().store(entryCount(state));
    const SecureBytes pass = benchPassString();
    // One untimed round first, so the first timed one does not also pay for the page cache
    // and the heap's growth.
    readWholeFile(file.path);
    EntryList().assign(datastore::parse(container::DecryptFromFile(file.path, pass), 1.2));
    double openTotal = 0;
    double limitTotal = 0;
    for (auto _ : state) {
        {
            const auto start = Clock::now();
            RawFile raw = readWholeFile(file.path);
            decipherInPlace(raw, pass);
            benchmark::DoNotOptimize(raw.bytes.get());
            limitTotal += secondsSince(start);
        }
        EntryList list;
        const auto start = Clock::now();
        list.assign(datastore::parse(container::DecryptFromFile(file.path, pass), 1.2));
        const double seconds = secondsSince(start);
        openTotal += seconds;
        state.SetIterationTime(seconds);
        if (list.size() != file.entries) state.SkipWithError("the store did not open whole");
    }
    setStoreCounters(state, file);
    const double n = static_cast<double>(state.iterations());
    state.counters["limit_ms"] = limitTotal / n * 1e3;
    state.counters["x_limit"] = openTotal / limitTotal;
}
BENCHMARK(Open)->Apply(allSizes)->UseManualTime()->MinTime(2.0)->Unit(benchmark::kMillisecond);

// The phases of an open, each alone, to show where its time goes.

void OpenPhaseReadFile(benchmark::State& state) {
    const StoreFile& file = BenchStores::instance().store(entryCount(state));
    for (auto _ : state) {
        RawFile raw = readWholeFile(file.path);
        benchmark::DoNotOptimize(raw.bytes.get());
    }
    setStoreCounters(state, file);
}
BENCHMARK(OpenPhaseReadFile)->Apply(targetSizes)->UseRealTime()->Unit(benchmark::kMillisecond);

void OpenPhaseDecipher(benchmark::State& state) {
    const StoreFile& file = BenchStores::instance().store(entryCount(state));
    const SecureBytes pass = benchPassString();
    RawFile raw = readWholeFile(file.path);
    for (auto _ : state) {
        decipherInPlace(raw, pass);
        benchmark::DoNotOptimize(raw.bytes.get());
    }
    setStoreCounters(state, file);
}
BENCHMARK(OpenPhaseDecipher)->Apply(targetSizes)->UseRealTime()->Unit(benchmark::kMillisecond);

// The core's read and decipher: the limit's work plus zero-filling the buffer first.
void OpenPhaseDecryptFromFile(benchmark::State& state) {
    const StoreFile& file = BenchStores::instance().store(entryCount(state));
    const SecureBytes pass = benchPassString();
    for (auto _ : state) {
        SecureBytes plain = container::DecryptFromFile(file.path, pass);
        benchmark::DoNotOptimize(plain.data());
        state.PauseTiming();
        plain = {};
        state.ResumeTiming();
    }
    setStoreCounters(state, file);
}
BENCHMARK(OpenPhaseDecryptFromFile)
    ->Apply(targetSizes)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void OpenPhaseParse(benchmark::State& state) {
    const StoreFile& file = BenchStores::instance().store(entryCount(state));
    const SecureBytes plain = container::DecryptFromFile(file.path, benchPassString());
    for (auto _ : state) {
        state.PauseTiming();
        SecureBytes copy = plain;  // parsing decodes in place, so each round needs a fresh copy
        state.ResumeTiming();
        std::vector<EntryPtr> entries = datastore::parse(std::move(copy), 1.2);
        state.PauseTiming();
        entries = {};
        state.ResumeTiming();
    }
    setStoreCounters(state, file);
}
BENCHMARK(OpenPhaseParse)->Apply(targetSizes)->UseRealTime()->Unit(benchmark::kMillisecond);

// The parse's tokenizing alone: the XML reader over the document, building no entries.
void OpenPhaseTokenize(benchmark::State& state) {
    const StoreFile& file = BenchStores::instance().store(entryCount(state));
    const SecureBytes plain = container::DecryptFromFile(file.path, benchPassString());
    std::size_t attributes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        SecureBytes copy = plain;
        state.ResumeTiming();
        XmlReader reader(reinterpret_cast<char*>(copy.data()), copy.size());
        attributes = 0;
        for (auto t = reader.next(); t != XmlReader::Token::EndOfDocument; t = reader.next())
            attributes += reader.attributes().size();
        benchmark::DoNotOptimize(attributes);
    }
    setStoreCounters(state, file);
    state.counters["attributes"] = static_cast<double>(attributes);
}
BENCHMARK(OpenPhaseTokenize)->Apply(targetSizes)->UseRealTime()->Unit(benchmark::kMillisecond);

void OpenPhaseAssign(benchmark::State& state) {
    const StoreFile& file = BenchStores::instance().store(entryCount(state));
    const SecureBytes plain = container::DecryptFromFile(file.path, benchPassString());
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<EntryPtr> entries = datastore::parse(SecureBytes(plain), 1.2);
        EntryList list;
        state.ResumeTiming();
        list.assign(std::move(entries));
        state.PauseTiming();
        list.clear();
        state.ResumeTiming();
    }
    setStoreCounters(state, file);
}
// Every round parses a fresh copy first, untimed; a fixed few rounds keep that within bounds.
BENCHMARK(OpenPhaseAssign)
    ->Arg(100'000)
    ->Iterations(10)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(OpenPhaseAssign)
    ->Arg(1'000'000)
    ->Iterations(3)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// Dropping an opened list (a reload or close does it): frees every entry and wipes the document.
void OpenTeardown(benchmark::State& state) {
    const StoreFile& file = BenchStores::instance().store(entryCount(state));
    const SecureBytes pass = benchPassString();
    for (auto _ : state) {
        state.PauseTiming();
        EntryList list;
        list.assign(datastore::parse(container::DecryptFromFile(file.path, pass), 1.2));
        state.ResumeTiming();
        list.clear();
    }
    setStoreCounters(state, file);
}
BENCHMARK(OpenTeardown)->Arg(100'000)->Iterations(10)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(OpenTeardown)
    ->Arg(1'000'000)
    ->Iterations(3)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorkel::bench
