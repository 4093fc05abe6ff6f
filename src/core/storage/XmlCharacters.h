#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Character classes and UTF-8 coding shared by the XML reader, writer and document. Everything
// here is inline because the reader's inner loops live on it.
namespace vorkel::xmlchars {

/// Bits of the ASCII class table; a "stop" bit marks the bytes that end a plain run in a context.
enum : std::uint16_t {
    kNameStart = 1 << 0,    // may begin a name
    kNameChar = 1 << 1,     // may continue a name
    kSpace = 1 << 2,        // the S production: blank, tab, CR, LF
    kAttrStop = 1 << 3,     // attribute value: quotes, "<", "&", controls, non-ASCII
    kTextStop = 1 << 4,     // character data: "<", "&", "]", CR, controls, non-ASCII
    kCdataStop = 1 << 5,    // CDATA section: "]", CR, controls, non-ASCII
    kCommentStop = 1 << 6,  // comment: "-", controls, non-ASCII
    kPiStop = 1 << 7,       // processing instruction: "?", controls, non-ASCII
    kEscapeStop = 1 << 8,   // written attribute value: "&", "<", '"', controls, non-ASCII
};

namespace detail {
constexpr std::array<std::uint16_t, 256> makeClassTable() {
    std::array<std::uint16_t, 256> t{};
    for (int c = 0; c < 256; ++c) {
        std::uint16_t v = 0;
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (letter || c == '_' || c == ':') v |= kNameStart | kNameChar;
        if ((c >= '0' && c <= '9') || c == '-' || c == '.') v |= kNameChar;
        const bool space = c == ' ' || c == '\t' || c == '\r' || c == '\n';
        if (space) v |= kSpace;
        const bool control = c < 0x20;
        const bool high = c >= 0x80;
        // Tab, LF and CR are Chars; the other controls are not, so every context stops on them.
        const bool badControl = control && !space;
        if (control || high || c == '"' || c == '\'' || c == '<' || c == '&') v |= kAttrStop;
        if (badControl || high || c == '\r' || c == '<' || c == '&' || c == ']') v |= kTextStop;
        if (badControl || high || c == '\r' || c == ']') v |= kCdataStop;
        if (badControl || high || c == '-') v |= kCommentStop;
        if (badControl || high || c == '?') v |= kPiStop;
        if (control || high || c == '"' || c == '<' || c == '&') v |= kEscapeStop;
        t[static_cast<std::size_t>(c)] = v;
    }
    return t;
}
}  // namespace detail

/// Class bits of every byte value (bytes from 0x80 carry every stop bit and no name bit).
inline constexpr std::array<std::uint16_t, 256> kClass = detail::makeClassTable();

/// True when the byte has any of the given class bits.
inline bool has(unsigned char c, std::uint16_t bits) noexcept {
    return (kClass[c] & bits) != 0;
}

/// True when the text holds only white space (the S production), as does empty text.
inline bool isBlank(std::string_view text) noexcept {
    for (const char c : text)
        if (!has(static_cast<unsigned char>(c), kSpace)) return false;
    return true;
}

/// The Char production: what XML 1.0 allows anywhere in a document.
constexpr bool isChar(char32_t c) noexcept {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

/// NameStartChar of XML 1.0, fifth edition.
constexpr bool isNameStartChar(char32_t c) noexcept {
    if (c < 0x80) return c == ':' || c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    return (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
           (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) ||
           (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
           (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) ||
           (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0xEFFFF);
}

/// NameChar of XML 1.0, fifth edition.
constexpr bool isNameChar(char32_t c) noexcept {
    if (isNameStartChar(c)) return true;
    return c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
           (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

/// Decodes the UTF-8 sequence at p (p < end). Returns its length, or 0 when it is not valid
/// UTF-8 (truncated, overlong, a surrogate, above U+10FFFF, a stray continuation byte).
inline std::size_t decodeUtf8(const unsigned char* p, const unsigned char* end,
                              char32_t& cp) noexcept {
    const unsigned char c = p[0];
    const auto avail = static_cast<std::size_t>(end - p);
    const auto cont = [p](std::size_t i) { return (p[i] & 0xC0) == 0x80; };
    if (c < 0x80) {
        cp = c;
        return 1;
    }
    if (c < 0xC2) return 0;
    if (c < 0xE0) {
        if (avail < 2 || !cont(1)) return 0;
        cp = (char32_t{c & 0x1Fu} << 6) | (p[1] & 0x3Fu);
        return 2;
    }
    if (c < 0xF0) {
        if (avail < 3 || !cont(1) || !cont(2)) return 0;
        cp = (char32_t{c & 0x0Fu} << 12) | (char32_t{p[1] & 0x3Fu} << 6) | (p[2] & 0x3Fu);
        if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
        return 3;
    }
    if (c < 0xF5) {
        if (avail < 4 || !cont(1) || !cont(2) || !cont(3)) return 0;
        cp = (char32_t{c & 0x07u} << 18) | (char32_t{p[1] & 0x3Fu} << 12) |
             (char32_t{p[2] & 0x3Fu} << 6) | (p[3] & 0x3Fu);
        if (cp < 0x10000 || cp > 0x10FFFF) return 0;
        return 4;
    }
    return 0;
}

/// The same for the sequence at text[at] (at < text.size()).
inline std::size_t decodeUtf8(std::string_view text, std::size_t at, char32_t& cp) noexcept {
    const auto* const bytes = reinterpret_cast<const unsigned char*>(text.data());
    return decodeUtf8(bytes + at, bytes + text.size(), cp);
}

/// Writes the UTF-8 form of a scalar value (at most U+10FFFF, no surrogate) to out; returns
/// the number of bytes written (1 to 4).
inline std::size_t encodeUtf8(char32_t cp, unsigned char* out) noexcept {
    if (cp < 0x80) {
        out[0] = static_cast<unsigned char>(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = static_cast<unsigned char>(0xC0 | (cp >> 6));
        out[1] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = static_cast<unsigned char>(0xE0 | (cp >> 12));
        out[1] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
        out[2] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = static_cast<unsigned char>(0xF0 | (cp >> 18));
    out[1] = static_cast<unsigned char>(0x80 | ((cp >> 12) & 0x3F));
    out[2] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
    out[3] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    return 4;
}

/// "U+0001": how messages name a code point.
std::string codePointText(char32_t cp);

/// True when text matches the Name production (non-empty, valid UTF-8).
bool isName(std::string_view text) noexcept;

/// Throws Error when name is not an XML name, so nothing unreadable is ever written.
void requireName(std::string_view name);

/// True when value is valid UTF-8 made only of characters of the Char production.
bool isValue(std::string_view value) noexcept;

/// Throws Error naming the attribute when value is not valid UTF-8 or holds a character
/// outside the Char production.
void requireValue(std::string_view attribute, std::string_view value);

/// The Error requireValue throws for the fault at value[at].
[[noreturn]] void throwBadValue(std::string_view attribute, std::string_view value, std::size_t at);

}  // namespace vorkel::xmlchars
