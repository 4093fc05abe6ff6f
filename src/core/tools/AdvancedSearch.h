#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/entries/EntryList.h"

namespace vorkel {

class Workspace;

/// What identifies a result's entry after the search: the list may since have been sorted,
/// edited or reloaded (a reload renumbers the identifiers), so the creation date, which no edit
/// changes, confirms the identifier still names the same entry.
struct ResultKey {
    EntryId id = 0;
    std::string created;
};

/// The excerpt line of a result, as the plain text the user sees, in the pieces the window
/// styles: the notes before the match, the highlighted search text, the notes after it. Line
/// breaks are already blanks and the whole is already cut to its length.
struct SearchExcerpt {
    std::string before;
    /// Whether the highlight survived the cut; when it did, `match` may still be cut short.
    bool highlighted = false;
    std::string match;
    std::string after;
};

/// Which field of the entry held the search text.
enum class MatchedField { Title, Notes };

/// One entry the search found, with the texts its result shows.
struct SearchHit {
    /// The entry's position in the entry list at the time of the search.
    std::size_t position = 0;
    ResultKey key;
    MatchedField field = MatchedField::Title;
    std::string title;
    std::string editDate;
    SearchExcerpt excerpt;
};

/// What one advanced search produces for the result list.
struct SearchResults {
    /// The search text as typed, which the "did not match" item quotes.
    std::string text;
    /// The entries found, in entry-list order.
    std::vector<SearchHit> hits;
    /// "Results 1 to N", or empty when nothing matched.
    std::string resultsLabel;

    /// The entry-list position of each hit.
    std::vector<std::size_t> positions() const;
    /// The entry of each hit, parallel to `positions()`.
    std::vector<ResultKey> keys() const;
};

/// Searches every entry's description, then (only when the description does not match) its
/// notes, for `text` (ASCII letters compared without case), in list order.
SearchResults RunSearch(const EntryList& list, std::string_view text);

/// The excerpt of a result: notes before the match, the search text highlighted, up to 180
/// characters after it, CR and LF as blanks, cut to 180 characters, in which the highlight's
/// opening mark counts 3 and its closing mark 4 (the length of the tags that draw it). With
/// `matchAt` npos it is the beginning of the notes without a highlight.
SearchExcerpt searchExcerpt(std::string_view notes, std::string_view text, std::size_t matchAt);

/// Where a result's entry stands now: `index` is its row when the visible rows hold it,
/// otherwise its entry-list position, valid once every entry is shown (`needsAllEntries`).
struct ResultTarget {
    std::size_t index = 0;
    bool needsAllEntries = false;
};

/// Finds the entry of a result in the workspace as it is now; nullopt when it is gone.
std::optional<ResultTarget> locateResult(const Workspace& workspace, const ResultKey& key);

}  // namespace vorkel
