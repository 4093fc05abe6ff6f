#include "core/storage/XmlCharacters.h"

#include <cstdio>

#include "core/Error.h"

namespace vorkel::xmlchars {

namespace {

const unsigned char* bytes(std::string_view text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

// Offset of the first byte that is not part of a valid Char, or npos.
std::size_t firstInvalid(std::string_view text) noexcept {
    const unsigned char* const begin = bytes(text);
    const unsigned char* const end = begin + text.size();
    for (const unsigned char* p = begin; p < end;) {
        if (*p < 0x80) {
            if (*p < 0x20 && !has(*p, kSpace)) return static_cast<std::size_t>(p - begin);
            ++p;
            continue;
        }
        char32_t cp = 0;
        const std::size_t n = decodeUtf8(p, end, cp);
        if (n == 0 || !isChar(cp)) return static_cast<std::size_t>(p - begin);
        p += n;
    }
    return std::string_view::npos;
}

}  // namespace

std::string codePointText(char32_t cp) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(cp));
    return text;
}

bool isName(std::string_view text) noexcept {
    const unsigned char* const begin = bytes(text);
    const unsigned char* const end = begin + text.size();
    for (const unsigned char* p = begin; p < end;) {
        char32_t cp = 0;
        const std::size_t n = decodeUtf8(p, end, cp);
        if (n == 0) return false;
        if (p == begin ? !isNameStartChar(cp) : !isNameChar(cp)) return false;
        p += n;
    }
    return !text.empty();
}

void requireName(std::string_view name) {
    if (!isName(name)) throw Error("\"" + std::string(name) + "\" is not a valid XML name.");
}

bool isValue(std::string_view value) noexcept {
    return firstInvalid(value) == std::string_view::npos;
}

void requireValue(std::string_view attribute, std::string_view value) {
    const std::size_t at = firstInvalid(value);
    if (at != std::string_view::npos) throwBadValue(attribute, value, at);
}

void throwBadValue(std::string_view attribute, std::string_view value, std::size_t at) {
    const unsigned char* p = bytes(value) + at;
    char32_t cp = 0;
    const std::size_t n = decodeUtf8(p, bytes(value) + value.size(), cp);
    const std::string what =
        n == 0 ? std::string("bytes that are not UTF-8")
               : "the character " + codePointText(cp) + ", which XML cannot carry";
    throw Error("The value of the attribute \"" + std::string(attribute) + "\" holds " + what +
                ".");
}

}  // namespace vorkel::xmlchars
