// Work on an opened list: the A to Z order, quick-search keystrokes and StoreEntry.
#include <benchmark/benchmark.h>

#include "BenchStores.h"
#include "BenchSupport.h"
#include "StoreGenerator.h"
#include "core/entries/ListOrder.h"
#include "core/entries/TitleIndex.h"

namespace vorkel::bench {
namespace {

// Puts the workspace back in document order (the order an open leaves it in) with all rows.
Workspace& inDocumentOrder(std::size_t n) {
    Workspace& ws = BenchStores::instance().workspace(n);
    ws.ReplaceEntries(BenchStores::instance().documentOrder(n));
    return ws;
}

// Sorted A to Z with all rows, the state the program leaves a list in after an open: entries
// then sit in memory in document order but are visited in title order.
Workspace& inTitleOrder(std::size_t n) {
    Workspace& ws = inDocumentOrder(n);
    ws.ApplyOrder(ListOrder::AtoZ);
    return ws;
}

// Sorting A to Z from document order, as the program does right after an open.
void SortAtoZ(benchmark::State& state) {
    const std::size_t n = entryCount(state);
    for (auto _ : state) {
        state.PauseTiming();
        Workspace& ws = inDocumentOrder(n);
        state.ResumeTiming();
        ws.ApplyOrder(ListOrder::AtoZ);
    }
    inDocumentOrder(n);
}
BENCHMARK(SortAtoZ)->Apply(allSizes)->UseRealTime()->Unit(benchmark::kMillisecond);

// Folding every title into a fresh index, over a list in title order: part of the sort, and
// what the first keystroke pays after the list's order or membership changed.
void TitleIndexRebuild(benchmark::State& state) {
    const EntryList& list = inTitleOrder(entryCount(state)).master();
    for (auto _ : state) {
        TitleIndex index;
        index.refresh(list);
        benchmark::DoNotOptimize(index.folded(0).data());
    }
}
BENCHMARK(TitleIndexRebuild)->Apply(allSizes)->UseRealTime()->Unit(benchmark::kMillisecond);

// The last of the sort's parts: every row rebuilt from rows that differ (here, none shown);
// also what clearing the quick-search box costs.
void ShowAllEntries(benchmark::State& state) {
    Workspace& ws = inTitleOrder(entryCount(state));
    for (auto _ : state) {
        state.PauseTiming();
        ws.QuickSearch("zqx");
        state.ResumeTiming();
        ws.ShowAllEntries();
    }
}

// The middle of the sort: the stable sort of folded titles and the list's permutation, with
// the title index already current.
void SortPhaseOrderAndPermute(benchmark::State& state) {
    const std::vector<EntryPtr>& documentOrder =
        BenchStores::instance().documentOrder(entryCount(state));
    EntryList list;
    TitleIndex index;
    for (auto _ : state) {
        state.PauseTiming();
        list.assign(documentOrder);
        index.refresh(list);
        state.ResumeTiming();
        sortEntryList(list, ListOrder::AtoZ, index);
    }
}
BENCHMARK(SortPhaseOrderAndPermute)->Apply(allSizes)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ShowAllEntries)->Apply(allSizes)->UseRealTime()->Unit(benchmark::kMillisecond);

// One keystroke in the quick-search box with the title index current, on a list sorted A to Z:
// the box goes from `before` to `text`, so the rows really change (a repeated search would find
// them in place). Cases: the second and third letters typed, letters that match nothing, and
// the box emptied again (every row back).
void QuickSearch(benchmark::State& state, std::string_view before, std::string_view text) {
    Workspace& ws = inTitleOrder(entryCount(state));
    ws.QuickSearch(text);  // builds the title index, as the first keystroke after an open does
    for (auto _ : state) {
        state.PauseTiming();
        ws.QuickSearch(before);
        state.ResumeTiming();
        ws.QuickSearch(text);
    }
    state.counters["rows"] = static_cast<double>(ws.rows().size());
    ws.ShowAllEntries();
}
BENCHMARK_CAPTURE(QuickSearch, typed_2, std::string_view("b"), std::string_view("ba"))
    ->Apply(allSizes)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(QuickSearch, typed_3, std::string_view("Ba"), std::string_view("Ban"))
    ->Apply(allSizes)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(QuickSearch, no_match, std::string_view("zq"), std::string_view("zqx"))
    ->Apply(allSizes)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(QuickSearch, cleared, std::string_view("ba"), std::string_view(""))
    ->Apply(allSizes)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// Editor fields as a key release hands them over: an entry's own fields with one more
// character in the notes.
struct Edit {
    std::size_t row;
    EditorFields fields;
};

std::vector<Edit> edits(const Workspace& ws, std::size_t count) {
    StoreGenerator pick(0xED17);
    std::vector<Edit> out;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t row = pick.between(0, ws.rows().size() - 1);
        EditorFields fields = Workspace::editorFields(*ws.rows()[row]);
        fields.notes += 'x';
        out.push_back({row, std::move(fields)});
    }
    return out;
}

// The first keystroke after an edit: the edit changed the list, so the title index has to catch
// up with it.
void QuickSearchAfterEdit(benchmark::State& state) {
    Workspace& ws = inTitleOrder(entryCount(state));
    const std::vector<Edit> pending = edits(ws, 64);
    ws.QuickSearch("ba");  // the index catches up with the sort first
    std::size_t i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ws.ShowAllEntries();
        const Edit& e = pending[i++ % pending.size()];
        ws.StoreEntry(e.row, e.fields, kUser);
        state.ResumeTiming();
        ws.QuickSearch("ba");
    }
    state.counters["rows"] = static_cast<double>(ws.rows().size());
    ws.ShowAllEntries();
}
BENCHMARK(QuickSearchAfterEdit)->Apply(allSizes)->UseRealTime()->Unit(benchmark::kMillisecond);

// The first keystroke after the A to Z sort that every load ends with.
void QuickSearchAfterSort(benchmark::State& state) {
    const std::size_t n = entryCount(state);
    for (auto _ : state) {
        state.PauseTiming();
        Workspace& ws = inTitleOrder(n);
        state.ResumeTiming();
        ws.QuickSearch("ba");
    }
    BenchStores::instance().workspace(n).ShowAllEntries();
}
BENCHMARK(QuickSearchAfterSort)->Apply(allSizes)->UseRealTime()->Unit(benchmark::kMillisecond);

// One StoreEntry (one key release in the editor) on a random row.
void StoreEntry(benchmark::State& state) {
    Workspace& ws = inTitleOrder(entryCount(state));
    const std::vector<Edit> pending = edits(ws, 4096);
    std::size_t i = 0;
    for (auto _ : state) {
        const Edit& e = pending[i++ % pending.size()];
        ws.StoreEntry(e.row, e.fields, kUser);
    }
}
BENCHMARK(StoreEntry)->Apply(allSizes)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vorkel::bench
