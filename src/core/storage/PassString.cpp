#include "core/storage/PassString.h"

#include <array>
#include <cstdint>
#include <optional>

#include "core/storage/XmlCharacters.h"

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

SecureBytes bytesOf(std::string_view text) {
    return SecureBytes(text.begin(), text.end());
}

// All or nothing: a text with one character outside the code page (or any malformed byte) keeps
// its UTF-8 bytes, so a given text always yields the same bytes however it is split.
SecureBytes mapWhole(std::string_view text) {
    SecureBytes out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        char32_t cp = 0;
        const std::size_t length = xmlchars::decodeUtf8(text, at, cp);
        if (length == 0) return bytesOf(text);
        const std::optional<std::uint8_t> b = windows1252Byte(cp);
        if (!b) return bytesOf(text);
        out.push_back(*b);
        at += length;
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
