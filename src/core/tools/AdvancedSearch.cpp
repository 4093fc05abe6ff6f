#include "core/tools/AdvancedSearch.h"

#include <algorithm>
#include <array>
#include <vector>

#include "core/entries/TextRules.h"
#include "core/entries/Workspace.h"

namespace vorkel {

namespace {

constexpr std::size_t kExcerptLength = 180;

std::array<unsigned char, 256> makeUpperTable() {
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[std::size_t(i)] = static_cast<unsigned char>(upperAsciiChar(static_cast<char>(i)));
    return t;
}
const std::array<unsigned char, 256> kUpper = makeUpperTable();

// The longest proper border of each prefix of the needle (Knuth, Morris and Pratt), so a search
// never steps back in the haystack: a long text made of near-misses of a long needle costs the
// sum of their lengths, not their product.
std::vector<std::size_t> borders(std::string_view needle) {
    std::vector<std::size_t> border(needle.size(), 0);
    std::size_t k = 0;
    for (std::size_t i = 1; i < needle.size(); ++i) {
        while (k > 0 && needle[i] != needle[k]) k = border[k - 1];
        if (needle[i] == needle[k]) ++k;
        border[i] = k;
    }
    return border;
}

// First position of `upperNeedle` in `haystack` compared with ASCII letters upper-cased.
std::size_t findFolded(std::string_view haystack, std::string_view upperNeedle,
                       const std::vector<std::size_t>& border) {
    if (upperNeedle.empty() || upperNeedle.size() > haystack.size()) return std::string_view::npos;
    std::size_t k = 0;
    for (std::size_t i = 0; i < haystack.size(); ++i) {
        const auto c = static_cast<char>(kUpper[static_cast<unsigned char>(haystack[i])]);
        while (k > 0 && c != upperNeedle[k]) k = border[k - 1];
        if (c == upperNeedle[k] && ++k == upperNeedle.size()) return i + 1 - k;
    }
    return std::string_view::npos;
}

std::size_t utf8Length(unsigned char lead) {
    if (lead < 0xC0) return 1;
    if (lead < 0xE0) return 2;
    if (lead < 0xF0) return 3;
    return 4;
}

// Builds markup counted in the characters the user sees: one per character of the entry's
// text (however it is escaped) and one per character of our own tags.
class Excerpt {
public:
    void tag(std::string_view t) {
        if (full()) return;
        if (m_count + t.size() > kExcerptLength) {
            m_count = kExcerptLength;  // a cut inside a tag drops the tag, never emits half of it
            return;
        }
        m_out += t;
        m_count += t.size();
        if (t == "<b>") m_bold = true;
        if (t == "</b>") m_bold = false;
    }
    void text(std::string_view s) {
        for (std::size_t i = 0; i < s.size() && !full();) {
            std::size_t len = std::min(utf8Length(static_cast<unsigned char>(s[i])), s.size() - i);
            std::string_view ch = s.substr(i, len);
            if (ch == "\r" || ch == "\n")
                m_out += ' ';
            else
                m_out += escapeMarkup(ch);
            ++m_count;
            i += len;
        }
    }
    std::string finish() {
        if (m_bold) m_out += "</b>";  // keep a cut highlight from running into the next line
        return std::move(m_out);
    }

private:
    bool full() const { return m_count >= kExcerptLength; }
    std::string m_out;
    std::size_t m_count = 0;
    bool m_bold = false;
};

// At most n characters of s (UTF-8), from its start.
std::string_view firstChars(std::string_view s, std::size_t n) {
    std::size_t i = 0;
    for (std::size_t count = 0; i < s.size() && count < n; ++count)
        i += std::min(utf8Length(static_cast<unsigned char>(s[i])), s.size() - i);
    return s.substr(0, i);
}

}  // namespace

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

std::string searchExcerpt(std::string_view notes, std::string_view text, std::size_t matchAt) {
    Excerpt x;
    if (matchAt == std::string_view::npos) {
        x.text(notes);
        return x.finish();
    }
    x.text(notes.substr(0, matchAt));
    x.tag("<b>");
    x.text(text);
    x.tag("</b>");
    x.text(firstChars(notes.substr(std::min(notes.size(), matchAt + text.size())), kExcerptLength));
    return x.finish();
}

std::optional<ResultTarget> locateResult(const Workspace& workspace, const ResultKey& key) {
    const auto position = workspace.master().positionOf(key.id);
    if (!position) return std::nullopt;
    if (workspace.master().at(*position)->get(Field::CreateDate) != key.created)
        return std::nullopt;
    const auto& rows = workspace.rows();
    for (std::size_t row = 0; row < rows.size(); ++row)
        if (rows[row]->id() == key.id) return ResultTarget{row, false};
    return ResultTarget{*position, true};
}

SearchResults RunSearch(const EntryList& list, std::string_view text) {
    SearchResults r;
    const std::string upper = upperAscii(text);
    const std::vector<std::size_t> border = borders(upper);
    for (std::size_t p = 0; p < list.size(); ++p) {
        const Entry& e = *list.at(p);
        std::string_view notes = e.get(Field::Detail);
        std::string excerpt;
        if (findFolded(e.title(), upper, border) != std::string_view::npos) {
            excerpt = searchExcerpt(notes, text, std::string_view::npos);
        } else {
            std::size_t at = findFolded(notes, upper, border);
            if (at == std::string_view::npos) continue;
            excerpt = searchExcerpt(notes, text, at);
        }
        std::string item;
        item.reserve(256 + excerpt.size());
        item += "<br><font color=\"#0000ff\"><b><u>";
        item += escapeMarkup(e.title());
        item += "</b></u></font><font color=\"#555555\">  Created: ";
        item += escapeMarkup(e.get(Field::CreateDate));
        item += "</font><br>";
        item += excerpt;
        item += "<br><font color=\"#008000\"><u>Click to view</u>  Last Updated: ";
        item += escapeMarkup(e.get(Field::EditDate));
        item += "</font>";
        r.items.push_back(std::move(item));
        r.positions.push_back(p);
        r.keys.push_back({e.id(), std::string(e.get(Field::CreateDate))});
    }
    if (!r.items.empty()) {
        r.resultsLabel = "Results 1 to " + std::to_string(r.items.size());
    } else {
        r.items.push_back("<br>&nbsp;Your search - <b>\"" + escapeMarkup(text) +
                          "\"</b> - did not match any password entries");
    }
    return r;
}

}  // namespace vorkel
