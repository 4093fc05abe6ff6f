#pragma once

#include <QStringList>
#include <string>
#include <string_view>

#include "core/tools/AdvancedSearch.h"

namespace vorkel::gui {

// The advanced search's results as the small HTML the result list draws: blue, underlined
// titles, grey dates, the match in bold and a green "Click to view" line.

/// Escapes &, <, > and " so a text shows literally in the result markup.
std::string escapeMarkup(std::string_view text);

/// The excerpt line of a result, its highlight in bold.
std::string excerptHtml(const SearchExcerpt& excerpt);

/// The result list's item for one entry found.
std::string resultItemHtml(const SearchHit& hit);

/// The single item that says `text` matched nothing.
std::string noMatchHtml(std::string_view text);

/// Every item of the result list for a search: one per entry found, or the "did not match" item.
QStringList searchResultItems(const SearchResults& results);

}  // namespace vorkel::gui
