#include "storage/PassString.h"

#include <array>
#include <cstdint>
#include <optional>

namespace vorkel {
namespace {

// Windows-1252 bytes 0x80..0x9F and the code points they stand for; 0 marks the five bytes the
// code page leaves undefined, which no character maps to.
constexpr std::array<char32_t, 32> kWindows1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

std::optional<std::uint8_t> windows1252Byte(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<std::uint8_t>(cp);
    for (std::size_t i = 0; i < kWindows1252High.size(); ++i)
        if (kWindows1252High[i] == cp) return static_cast<std::uint8_t>(0x80 + i);
    return std::nullopt;
}

// Reads one strictly valid UTF-8 sequence at text[at]; rejects overlong forms, surrogates and
// values past U+10FFFF so that malformed input never maps to a byte by accident.
std::optional<char32_t> decodeUtf8(std::string_view text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(at);
    std::size_t length;
    char32_t cp;
    char32_t least;
    if (lead < 0x80) {
        ++at;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, cp = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, cp = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, cp = lead & 0x07, least = 0x10000;
    } else {
        return std::nullopt;
    }
    if (text.size() - at < length) return std::nullopt;
    for (std::size_t i = 1; i < length; ++i) {
        const std::uint8_t next = byte(at + i);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
    at += length;
    return cp;
}

SecureBytes bytesOf(std::string_view text) {
    return SecureBytes(text.begin(), text.end());
}

// All or nothing: a text with one character outside the code page (or any malformed byte) keeps
// its UTF-8 bytes, so a given text always yields the same bytes however it is split.
SecureBytes mapWhole(std::string_view text) {
    SecureBytes out;
    out.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const std::optional<char32_t> cp = decodeUtf8(text, at);
        if (!cp) return bytesOf(text);
        const std::optional<std::uint8_t> b = windows1252Byte(*cp);
        if (!b) return bytesOf(text);
        out.push_back(*b);
    }
    return out;
}

}  // namespace

SecureBytes passStringBytes(std::string_view userName, std::string_view masterPassword) {
    SecureString joined;
    joined.reserve(userName.size() + masterPassword.size());
    joined.append(userName);
    joined.append(masterPassword);
    return mapWhole(joined);
}

SecureBytes eightBitText(std::string_view utf8) {
    return mapWhole(utf8);
}

}  // namespace vorkel
