// The advanced search's results and excerpts. The input is split at zero bytes: the search text,
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
    if (results.text != text) fuzz::broken("the results lost the search text");
    if (results.hits.empty() != results.resultsLabel.empty())
        fuzz::broken("the results label disagrees with the results");
    std::size_t previous = 0;
    for (const SearchHit& hit : results.hits) {
        if (hit.position >= list.size()) fuzz::broken("a result points past the list");
        if (hit.position < previous) fuzz::broken("results out of list order");
        previous = hit.position + 1;
        if (hit.title != list.at(hit.position)->title())
            fuzz::broken("a result names another entry");
        if (hit.field == MatchedField::Title && hit.excerpt.highlighted)
            fuzz::broken("a title match highlights the notes");
    }

    for (const auto& e : entries) {
        const std::string_view notes = e->get(Field::Detail);
        for (std::size_t at : {notes.find(text), std::string_view::npos}) {
            const SearchExcerpt x = searchExcerpt(notes, text, at);
            const std::string shown = x.before + x.match + x.after;
            if (shown.find_first_of("\r\n") != std::string::npos)
                fuzz::broken("a line break left in an excerpt");
            if (!x.highlighted && !(x.match.empty() && x.after.empty()))
                fuzz::broken("text after a highlight that was cut");
            if (shown.size() > 4 * 180) fuzz::broken("an excerpt longer than its cut");
        }
    }
    return 0;
}
