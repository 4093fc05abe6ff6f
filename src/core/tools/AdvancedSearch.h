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

/// What one advanced search produces for the result list.
struct SearchResults {
    /// One item of small-HTML text per result (or the single "did not match" item).
    std::vector<std::string> items;
    /// The entry-list position of each result item; empty when nothing matched.
    std::vector<std::size_t> positions;
    /// The entry of each result item, parallel to `positions`.
    std::vector<ResultKey> keys;
    /// "Results 1 to N", or empty when nothing matched.
    std::string resultsLabel;
};

/// Searches every entry's description, then (only when the description does not match) its
/// notes, for `text` (ASCII letters compared without case), in list order. The entries' own
/// text is escaped, so it always shows literally.
SearchResults RunSearch(const EntryList& list, std::string_view text);

/// The excerpt line of a result: notes before the match, the search text in bold, up to 180
/// characters after it, CR and LF as blanks, cut to 180 characters counting the tags. With
/// `matchAt` npos it is the beginning of the notes without a highlight.
std::string searchExcerpt(std::string_view notes, std::string_view text, std::size_t matchAt);

/// Where a result's entry stands now: `index` is its row when the visible rows hold it,
/// otherwise its entry-list position, valid once every entry is shown (`needsAllEntries`).
struct ResultTarget {
    std::size_t index = 0;
    bool needsAllEntries = false;
};

/// Finds the entry of a result in the workspace as it is now; nullopt when it is gone.
std::optional<ResultTarget> locateResult(const Workspace& workspace, const ResultKey& key);

/// Escapes &, <, > and " so a text shows literally in the result markup.
std::string escapeMarkup(std::string_view text);

}  // namespace vorkel
