// The quick search against a plain scan of the entry list, over long seeded runs of the edits a
// user makes: adds, retitles in the editor, reorders and deletions. Only the workspace's public
// operations are used, so the index behind the search can change freely underneath.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/entries/Workspace.h"

using namespace vorkel;

namespace {

// A to Z only, written out here rather than borrowed from the code under test.
std::string foldAtoZ(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

// What the visible rows must be after QuickSearch(needle): every entry whose folded title
// holds the folded needle, in list order. Ids and titles together, so a stale row shows.
std::vector<std::pair<EntryId, std::string>> naiveSearch(const Workspace& ws,
                                                         std::string_view needle) {
    const std::string folded = foldAtoZ(needle);
    std::vector<std::pair<EntryId, std::string>> out;
    for (const auto& e : ws.master().entries())
        if (foldAtoZ(e->title()).find(folded) != std::string::npos)
            out.emplace_back(e->id(), std::string(e->title()));
    return out;
}

std::vector<std::pair<EntryId, std::string>> shownRows(const Workspace& ws) {
    std::vector<std::pair<EntryId, std::string>> out;
    for (const auto& e : ws.rows()) out.emplace_back(e->id(), std::string(e->title()));
    return out;
}

// Titles from few letters, so short needles match some entries and miss others; upper case to
// fold, and letters outside A to Z (É, ß) that must not fold.
class Titles {
public:
    explicit Titles(std::uint32_t seed) : m_rng(seed) {}
    std::size_t below(std::size_t n) { return std::size_t(m_rng() % n); }
    std::string title() {
        static const std::vector<std::string> pieces = {"a", "b", "c", "A", "B", "C", "d",
                                                        " ", "É", "é", "ß", "x", "Y", "1"};
        std::string t;
        const std::size_t length = 1 + below(12);
        for (std::size_t i = 0; i < length; ++i) t += pieces[below(pieces.size())];
        return t;
    }
    std::string needle() {
        switch (below(10)) {
            case 0:
                return "";
            case 1:
                return std::string(1, '\0');
            case 2:
                return "É";
            default: {
                std::string t = title();
                return t.substr(0, 1 + below(3));
            }
        }
    }

private:
    std::mt19937 m_rng;
};

void expectSearch(Workspace& ws, std::string_view needle, const char* after) {
    ws.QuickSearch(needle);
    ASSERT_EQ(shownRows(ws), naiveSearch(ws, needle))
        << "needle \"" << needle << "\" after " << after;
}

}  // namespace

TEST(QuickSearch, AgreesWithAPlainScanThroughRetitlesSortsAndDeletions) {
    for (std::uint32_t seed : {1u, 2u, 3u, 20261209u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        FixedClock clock({2010, 12, 25, 10, 0, 0});
        Workspace ws(clock);
        Titles gen(seed);
        for (int i = 0; i < 150; ++i) ws.AddEntry(gen.title(), "", "", "", "", "", "bob");

        for (int step = 0; step < 3000; ++step) {
            // Later edits carry later times, so the date orders differ from the list order.
            clock.set({2010, 12, 25, 10 + step / 3600, (step / 60) % 60, step % 60});
            const char* what = "a search";
            switch (gen.below(10)) {
                case 0:
                    ws.AddEntry(gen.title(), "", "", "", "", "", "bob");
                    what = "an add";
                    break;
                case 1:
                case 2:
                case 3:
                case 4: {
                    // A retitle from the editor, often straight after a search, as when the
                    // user types into the title of a found entry.
                    if (gen.below(2) == 0) ws.QuickSearch(gen.needle());
                    if (ws.rows().empty()) break;
                    const std::size_t row = gen.below(ws.rows().size());
                    EditorFields fields = Workspace::editorFields(*ws.entryOfRow(row));
                    fields.title = gen.title();
                    ws.StoreEntry(row, fields, "bob");
                    what = "a retitle";
                    break;
                }
                case 5:
                    ws.ApplyOrder(static_cast<ListOrder>(gen.below(4)));
                    what = "a sort";
                    break;
                case 6:
                    if (ws.master().size() > 20) {
                        ws.ShowAllEntries();
                        ws.DeleteEntry(gen.below(ws.rows().size()));
                        what = "a deletion";
                    }
                    break;
                default:
                    break;
            }
            expectSearch(ws, gen.needle(), what);
            expectSearch(ws, gen.needle(), what);
        }
    }
}

// Hits far apart in a long list: between two hits lie more titles than the search walks one
// by one, so it has to jump ahead; before and after retitles that put titles out of order.
TEST(QuickSearch, FindsHitsFarApartInALongList) {
    FixedClock clock({2010, 12, 25, 10, 0, 0});
    Workspace ws(clock);
    for (int i = 0; i < 400; ++i) {
        const bool hit = i % 37 == 20;
        ws.AddEntry((hit ? "Far NEEDLE " : "filler ") + std::to_string(i), "", "", "", "", "",
                    "bob");
    }
    expectSearch(ws, "needle", "the adds");
    ASSERT_EQ(ws.rows().size(), 11u);

    // Retitles move the edited titles to the end of the index, far from their neighbours.
    for (std::size_t pos : {3u, 150u, 399u}) {
        ws.ShowAllEntries();
        EditorFields fields = Workspace::editorFields(*ws.entryOfRow(pos));
        fields.title = "now a needle " + std::to_string(pos);
        ws.StoreEntry(pos, fields, "bob");
        expectSearch(ws, "NEEDLE", "a retitle");
    }
    ASSERT_EQ(ws.rows().size(), 14u);
    ws.ApplyOrder(ListOrder::ZtoA);
    expectSearch(ws, "needle", "a sort");
    ws.ShowAllEntries();
    ws.DeleteEntry(0);
    expectSearch(ws, "needle", "a deletion");
}
