#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace vorkel {

/// Where one web address lies in a line: offset and length in the line's code units.
struct LinkRange {
    std::size_t start = 0;
    std::size_t length = 0;
    bool operator==(const LinkRange&) const = default;
};

/// The web addresses in a line of text, in order. An address starts with "http://", "https://",
/// "ftp://", "mailto:" or "www." (any letter case) at the line's start or after a character that
/// is not an ASCII letter or digit, runs up to the next blank, control character, '<', '>' or
/// '"', and loses trailing sentence punctuation and unbalanced closing brackets. A prefix with
/// nothing after it is no address. Offsets count bytes of UTF-8.
std::vector<LinkRange> findLinks(std::string_view line);
/// The same rule over UTF-16 text (offsets count UTF-16 code units), for the notes control.
std::vector<LinkRange> findLinks(std::u16string_view line);

}  // namespace vorkel
