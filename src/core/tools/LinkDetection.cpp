#include "core/tools/LinkDetection.h"

#include <array>
#include <type_traits>

#include "core/entries/TextRules.h"

namespace vorkel {

namespace {

constexpr std::array<std::string_view, 5> kPrefixes = {"http://", "https://", "ftp://",
                                                       "mailto:", "www."};

template <typename Char>
unsigned code(Char c) {
    return static_cast<unsigned>(static_cast<std::make_unsigned_t<Char>>(c));
}

template <typename Char>
bool asciiAlnum(Char c) {
    const unsigned u = code(c);
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}

// Only ASCII decides where an address ends, so the UTF-8 and UTF-16 forms of a line give the
// same addresses; other characters belong to the address (international addresses).
template <typename Char>
bool endsAddress(Char c) {
    const unsigned u = code(c);
    return u <= 0x20 || u == 0x7F || u == '<' || u == '>' || u == '"';
}

template <typename Char>
std::size_t prefixAt(std::basic_string_view<Char> s, std::size_t i) {
    for (std::string_view p : kPrefixes) {
        if (s.size() - i < p.size()) continue;
        bool same = true;
        for (std::size_t k = 0; k < p.size() && same; ++k) {
            // The prefixes are ASCII, so a wider character never matches.
            const unsigned u = code(s[i + k]);
            same = u < 0x80 && lowerAsciiChar(static_cast<char>(u)) == p[k];
        }
        if (same) return p.size();
    }
    return 0;
}

// A closing bracket stays only when the address opened one for it, as in wiki addresses.
template <typename Char>
bool unbalancedClose(std::basic_string_view<Char> link, unsigned open, unsigned close) {
    std::size_t opened = 0, closed = 0;
    for (Char c : link) {
        if (code(c) == open) ++opened;
        if (code(c) == close) ++closed;
    }
    return closed > opened;
}

template <typename Char>
std::size_t trimmedEnd(std::basic_string_view<Char> s, std::size_t start, std::size_t end) {
    while (end > start) {
        const unsigned last = code(s[end - 1]);
        const auto link = s.substr(start, end - start);
        const bool trailingPunctuation = last == '.' || last == ',' || last == ';' || last == ':' ||
                                         last == '!' || last == '?' || last == '\'';
        const bool strayBracket = (last == ')' && unbalancedClose(link, '(', ')')) ||
                                  (last == ']' && unbalancedClose(link, '[', ']')) ||
                                  (last == '}' && unbalancedClose(link, '{', '}'));
        if (!trailingPunctuation && !strayBracket) break;
        --end;
    }
    return end;
}

template <typename Char>
std::vector<LinkRange> find(std::basic_string_view<Char> s) {
    std::vector<LinkRange> links;
    std::size_t i = 0;
    while (i < s.size()) {
        const std::size_t prefix = (i == 0 || !asciiAlnum(s[i - 1])) ? prefixAt(s, i) : 0;
        if (prefix == 0) {
            ++i;
            continue;
        }
        std::size_t end = i + prefix;
        while (end < s.size() && !endsAddress(s[end])) ++end;
        end = trimmedEnd(s, i, end);
        if (end <= i + prefix) {
            ++i;
            continue;
        }
        links.push_back({i, end - i});
        i = end;
    }
    return links;
}

}  // namespace

std::vector<LinkRange> findLinks(std::string_view line) {
    return find(line);
}

std::vector<LinkRange> findLinks(std::u16string_view line) {
    return find(line);
}

}  // namespace vorkel
