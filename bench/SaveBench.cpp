// Saving a data store: serialise, encipher, write atomically with fsync; against the physical
// limit of enciphering the same bytes and writing and fsyncing them, measured in the same run.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "BenchStores.h"
#include "BenchSupport.h"
#include "PhysicalLimit.h"
#include "StoreGenerator.h"
#include "core/storage/Container.h"
#include "core/storage/DataStoreDocument.h"
#include "core/storage/RandomSource.h"

namespace vorkel::bench {
namespace {

using Clock = std::chrono::steady_clock;

const std::string kAppPath(kApplicationPath);

FixedRandom saltSource() {
    return FixedRandom({0x0D, 0xF0, 0xAD, 0x8B, 0x01, 0x23, 0x45, 0x67});
}

void setDocumentCounters(benchmark::State& state, std::size_t plainSize, std::size_t entries) {
    state.counters["doc_MB"] = megabytes(plainSize);
    state.counters["B_per_entry"] = static_cast<double>(plainSize) / static_cast<double>(entries);
}

// The save the program does, timed; each iteration first times the limit on a document of the
// same bytes, written to a file of its own in the same folder.
void Save(benchmark::State& state) {
    const std::size_t n = entryCount(state);
    const EntryList& list = BenchStores::instance().workspace(n).master();
    const SecureBytes pass = benchPassString();
    const std::string target =
        BenchStores::instance().scratchPath("save-" + std::to_string(n) + ".dat");
    const std::string limitTarget =
        BenchStores::instance().scratchPath("limit-" + std::to_string(n) + ".dat");
    SecureBytes document = datastore::serialize(list, kAppPath);
    FixedRandom random = saltSource();
    // One untimed round first, as for the open.
    encipherAndWrite(document.data(), document.size(), limitTarget, pass);
    container::EncryptToFile(datastore::serialize(list, kAppPath), target, pass, random);
    double saveTotal = 0;
    double limitTotal = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        encipherAndWrite(document.data(), document.size(), limitTarget, pass);
        limitTotal += secondsSince(start);

        start = Clock::now();
        container::EncryptToFile(datastore::serialize(list, kAppPath), target, pass, random);
        const double seconds = secondsSince(start);
        saveTotal += seconds;
        state.SetIterationTime(seconds);
    }
    setDocumentCounters(state, document.size(), n);
    const double iterations = static_cast<double>(state.iterations());
    state.counters["limit_ms"] = limitTotal / iterations * 1e3;
    state.counters["x_limit"] = saveTotal / limitTotal;
    std::filesystem::remove(target);
    std::filesystem::remove(limitTarget);
}
BENCHMARK(Save)->Apply(allSizes)->UseManualTime()->MinTime(2.0)->Unit(benchmark::kMillisecond);

// The phases of a save, each alone.

void SavePhaseSerialize(benchmark::State& state) {
    const std::size_t n = entryCount(state);
    const EntryList& list = BenchStores::instance().workspace(n).master();
    std::size_t size = 0;
    for (auto _ : state) {
        SecureBytes document = datastore::serialize(list, kAppPath);
        size = document.size();
        state.PauseTiming();
        document = {};
        state.ResumeTiming();
    }
    setDocumentCounters(state, size, n);
}
BENCHMARK(SavePhaseSerialize)->Apply(targetSizes)->UseRealTime()->Unit(benchmark::kMillisecond);

void SavePhaseEncipher(benchmark::State& state) {
    const std::size_t n = entryCount(state);
    SecureBytes document =
        datastore::serialize(BenchStores::instance().workspace(n).master(), kAppPath);
    const SecureBytes pass = benchPassString();
    const container::Salt salt{1, 2, 3, 4, 5, 6, 7, 8};
    for (auto _ : state) {
        container::encipher(salt, pass, document.data(), document.size());
        benchmark::DoNotOptimize(document.data());
    }
    setDocumentCounters(state, document.size(), n);
}
BENCHMARK(SavePhaseEncipher)->Apply(targetSizes)->UseRealTime()->Unit(benchmark::kMillisecond);

void SavePhaseWriteAndSync(benchmark::State& state) {
    const std::size_t n = entryCount(state);
    const SecureBytes document =
        datastore::serialize(BenchStores::instance().workspace(n).master(), kAppPath);
    const std::string target =
        BenchStores::instance().scratchPath("write-" + std::to_string(n) + ".dat");
    for (auto _ : state) writeAndSync(document.data(), document.size(), target);
    setDocumentCounters(state, document.size(), n);
    std::filesystem::remove(target);
}
BENCHMARK(SavePhaseWriteAndSync)->Apply(targetSizes)->UseRealTime()->Unit(benchmark::kMillisecond);

// The core's container write: encipher, atomic replace with fsyncs, and wiping the plain text.
void SavePhaseEncryptToFile(benchmark::State& state) {
    const std::size_t n = entryCount(state);
    const SecureBytes document =
        datastore::serialize(BenchStores::instance().workspace(n).master(), kAppPath);
    const SecureBytes pass = benchPassString();
    const std::string target =
        BenchStores::instance().scratchPath("container-" + std::to_string(n) + ".dat");
    FixedRandom random = saltSource();
    for (auto _ : state) {
        state.PauseTiming();
        SecureBytes copy = document;
        state.ResumeTiming();
        container::EncryptToFile(std::move(copy), target, pass, random);
    }
    setDocumentCounters(state, document.size(), n);
    std::filesystem::remove(target);
}
BENCHMARK(SavePhaseEncryptToFile)->Apply(targetSizes)->UseRealTime()->Unit(benchmark::kMillisecond);

// Wiping a document-sized buffer, which every freed SecureBytes does.
void SavePhaseWipe(benchmark::State& state) {
    const std::size_t n = entryCount(state);
    SecureBytes document =
        datastore::serialize(BenchStores::instance().workspace(n).master(), kAppPath);
    for (auto _ : state) secureWipe(document.data(), document.size());
    setDocumentCounters(state, document.size(), n);
}
BENCHMARK(SavePhaseWipe)->Apply(targetSizes)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorkel::bench
