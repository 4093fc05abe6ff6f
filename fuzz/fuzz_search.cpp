// The advanced search's result builder. The input is split at zero bytes: the search text,
// then title and notes of each entry in turn.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "core/entries/Entry.h"
#include "core/entries/EntryList.h"
#include "core/tools/AdvancedSearch.h"

using namespace vorkel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> pieces;
    for (std::size_t at = 0;;) {
        const std::size_t end = input.find('\0', at);
        pieces.push_back(input.substr(at, end == std::string_view::npos ? end : end - at));
        if (end == std::string_view::npos) break;
        at = end + 1;
    }
    const std::string_view text = pieces.front();
    std::vector<EntryPtr> entries;
    for (std::size_t i = 1; i < pieces.size(); i += 2) {
        Entry::Texts texts{};
        texts[index(Field::Title)] = pieces[i];
        if (i + 1 < pieces.size()) texts[index(Field::Detail)] = pieces[i + 1];
        entries.push_back(Entry::create(static_cast<EntryId>(entries.size()), texts));
    }
    EntryList list;
    list.assign(entries);

    const SearchResults results = RunSearch(list, text);
    if (results.items.empty()) fuzz::broken("a search shows no item at all");
    if (!results.positions.empty() && results.positions.size() != results.items.size())
        fuzz::broken("result items and positions disagree");
    for (std::size_t p : results.positions)
        if (p >= list.size()) fuzz::broken("a result points past the list");
    if (results.positions.empty() != results.resultsLabel.empty())
        fuzz::broken("the results label disagrees with the results");

    for (const auto& e : entries) {
        const std::string_view notes = e->get(Field::Detail);
        (void)searchExcerpt(notes, text, notes.find(text));
        (void)searchExcerpt(notes, text, std::string_view::npos);
    }
    const std::string escaped = escapeMarkup(text);
    if (escaped.find_first_of("<>\"") != std::string::npos) fuzz::broken("markup not escaped");
    return 0;
}
