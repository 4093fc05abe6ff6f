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

// The bytes of the character at s[i]: its lead's length, but never past a byte that cannot
// continue it, so a damaged sequence cannot swallow a line break or a letter after it.
std::size_t charLength(std::string_view s, std::size_t i) {
    const auto lead = static_cast<unsigned char>(s[i]);
    const std::size_t want = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    std::size_t len = 1;
    while (len < want && i + len < s.size() &&
           (static_cast<unsigned char>(s[i + len]) & 0xC0) == 0x80)
        ++len;
    return len;
}

// Fills an excerpt counted in the characters the user sees: one per character of the entry's
// text and, for the highlight, the characters of the tags that draw it, which the length has
// always counted.
constexpr std::size_t kOpenMarkWidth = 3;   // <b>
constexpr std::size_t kCloseMarkWidth = 4;  // </b>

class ExcerptBuilder {
public:
    /// Appends as much of `s` to `into` as the length leaves, line breaks as blanks.
    void text(std::string_view s, std::string& into) {
        for (std::size_t i = 0; i < s.size() && !full();) {
            const std::size_t len = charLength(s, i);
            std::string_view ch = s.substr(i, len);
            if (ch == "\r" || ch == "\n")
                into += ' ';
            else
                into += ch;
            ++m_count;
            i += len;
        }
    }
    /// Counts a mark of `width`; false when it does not fit. A cut inside a mark drops the
    /// mark, never shows half of it, and ends the excerpt.
    bool mark(std::size_t width) {
        if (full()) return false;
        if (m_count + width > kExcerptLength) {
            m_count = kExcerptLength;
            return false;
        }
        m_count += width;
        return true;
    }

private:
    bool full() const { return m_count >= kExcerptLength; }
    std::size_t m_count = 0;
};

}  // namespace

SearchExcerpt searchExcerpt(std::string_view notes, std::string_view text, std::size_t matchAt) {
    SearchExcerpt excerpt;
    ExcerptBuilder x;
    if (matchAt == std::string_view::npos) {
        x.text(notes, excerpt.before);
        return excerpt;
    }
    x.text(notes.substr(0, matchAt), excerpt.before);
    // A highlight whose closing mark is cut still ends here, so it cannot run into the next line.
    excerpt.highlighted = x.mark(kOpenMarkWidth);
    if (!excerpt.highlighted) return excerpt;
    x.text(text, excerpt.match);
    if (!x.mark(kCloseMarkWidth)) return excerpt;
    // The excerpt's own cut ends the tail well within 180 characters of the match.
    x.text(notes.substr(std::min(notes.size(), matchAt + text.size())), excerpt.after);
    return excerpt;
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

std::vector<std::size_t> SearchResults::positions() const {
    std::vector<std::size_t> out;
    out.reserve(hits.size());
    for (const SearchHit& hit : hits) out.push_back(hit.position);
    return out;
}

std::vector<ResultKey> SearchResults::keys() const {
    std::vector<ResultKey> out;
    out.reserve(hits.size());
    for (const SearchHit& hit : hits) out.push_back(hit.key);
    return out;
}

SearchResults RunSearch(const EntryList& list, std::string_view text) {
    SearchResults r;
    r.text = text;
    const std::string upper = upperAscii(text);
    const std::vector<std::size_t> border = borders(upper);
    for (std::size_t p = 0; p < list.size(); ++p) {
        const Entry& e = *list.at(p);
        std::string_view notes = e.get(Field::Detail);
        SearchHit hit;
        if (findFolded(e.title(), upper, border) != std::string_view::npos) {
            hit.field = MatchedField::Title;
            hit.excerpt = searchExcerpt(notes, text, std::string_view::npos);
        } else {
            std::size_t at = findFolded(notes, upper, border);
            if (at == std::string_view::npos) continue;
            hit.field = MatchedField::Notes;
            hit.excerpt = searchExcerpt(notes, text, at);
        }
        hit.position = p;
        hit.key = {e.id(), std::string(e.get(Field::CreateDate))};
        hit.title = e.title();
        hit.editDate = e.get(Field::EditDate);
        r.hits.push_back(std::move(hit));
    }
    if (!r.hits.empty()) r.resultsLabel = "Results 1 to " + std::to_string(r.hits.size());
    return r;
}

}  // namespace vorkel
