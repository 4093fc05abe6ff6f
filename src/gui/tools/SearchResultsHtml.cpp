#include "gui/tools/SearchResultsHtml.h"

#include "gui/ui/QtText.h"

namespace vorkel::gui {

std::string escapeMarkup(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string excerptHtml(const SearchExcerpt& excerpt) {
    std::string out = escapeMarkup(excerpt.before);
    if (excerpt.highlighted) {
        out += "<b>";
        out += escapeMarkup(excerpt.match);
        out += "</b>";
    }
    out += escapeMarkup(excerpt.after);
    return out;
}

std::string resultItemHtml(const SearchHit& hit) {
    std::string item;
    item.reserve(256 + hit.excerpt.before.size() + hit.excerpt.after.size());
    item += "<br><font color=\"#0000ff\"><b><u>";
    item += escapeMarkup(hit.title);
    item += "</b></u></font><font color=\"#555555\">  Created: ";
    item += escapeMarkup(hit.key.created);
    item += "</font><br>";
    item += excerptHtml(hit.excerpt);
    item += "<br><font color=\"#008000\"><u>Click to view</u>  Last Updated: ";
    item += escapeMarkup(hit.editDate);
    item += "</font>";
    return item;
}

std::string noMatchHtml(std::string_view text) {
    return "<br>&nbsp;Your search - <b>\"" + escapeMarkup(text) +
           "\"</b> - did not match any password entries";
}

QStringList searchResultItems(const SearchResults& results) {
    if (results.hits.empty()) return {toQString(noMatchHtml(results.text))};
    QStringList items;
    items.reserve(qsizetype(results.hits.size()));
    for (const SearchHit& hit : results.hits) items << toQString(resultItemHtml(hit));
    return items;
}

}  // namespace vorkel::gui
