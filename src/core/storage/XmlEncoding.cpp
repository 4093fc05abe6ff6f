#include "core/storage/XmlEncoding.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/entries/TextRules.h"
#include "core/storage/XmlCharacters.h"
#include "core/storage/XmlError.h"

namespace vorkel {

namespace {

// Replaces buffer[from..) (UTF-16 in the given byte order) by its UTF-8 form.
void transcodeUtf16(SecureBytes& buffer, std::size_t from, bool bigEndian) {
    const std::size_t size = buffer.size();
    if ((size - from) % 2 != 0)
        throw XmlError(size - 1, "the UTF-16 text has an odd number of bytes");
    const auto unit = [&](std::size_t i) -> char32_t {
        return bigEndian ? (char32_t{buffer[i]} << 8) | buffer[i + 1]
                         : (char32_t{buffer[i + 1]} << 8) | buffer[i];
    };
    SecureBytes out;
    out.reserve((size - from) / 2 * 3);
    unsigned char encoded[4];
    for (std::size_t i = from; i < size; i += 2) {
        char32_t cp = unit(i);
        if (cp >= 0xDC00 && cp <= 0xDFFF)
            throw XmlError(i, "a UTF-16 low surrogate without a high one");
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            const char32_t low = i + 3 < size ? unit(i + 2) : 0;
            if (low < 0xDC00 || low > 0xDFFF)
                throw XmlError(i, "a UTF-16 high surrogate without a low one");
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        }
        const std::size_t n = xmlchars::encodeUtf8(cp, encoded);
        out.insert(out.end(), encoded, encoded + n);
    }
    buffer.swap(out);  // the UTF-16 copy is wiped as `out` goes
}

// White space as XML reads it: blank, tab, CR, LF.
bool isSpace(char c) {
    return xmlchars::has(static_cast<unsigned char>(c), xmlchars::kSpace);
}

// The encoding named by the XML declaration at `from`, with its offset; nothing when there is
// no declaration or it names none. A malformed declaration is left for the reader to refuse.
std::optional<std::pair<std::string, std::size_t>> declaredEncoding(const SecureBytes& buffer,
                                                                    std::size_t from) {
    const std::string_view text(reinterpret_cast<const char*>(buffer.data()) + from,
                                buffer.size() - from);
    if (text.size() < 6 || text.substr(0, 5) != "<?xml" || !isSpace(text[5])) return std::nullopt;
    const std::string_view declaration = text.substr(0, text.find("?>"));
    std::size_t p = declaration.find("encoding");
    if (p == std::string_view::npos) return std::nullopt;
    p += 8;
    while (p < declaration.size() && isSpace(declaration[p])) ++p;
    if (p >= declaration.size() || declaration[p] != '=') return std::nullopt;
    ++p;
    while (p < declaration.size() && isSpace(declaration[p])) ++p;
    if (p >= declaration.size() || (declaration[p] != '"' && declaration[p] != '\''))
        return std::nullopt;
    const std::size_t close = declaration.find(declaration[p], p + 1);
    if (close == std::string_view::npos) return std::nullopt;
    return std::make_pair(upperAscii(declaration.substr(p + 1, close - p - 1)), from + p + 1);
}

}  // namespace

std::size_t prepareUtf8(SecureBytes& buffer) {
    const std::size_t size = buffer.size();
    std::size_t start = 0;
    bool utf16 = false;
    if (size >= 3 && buffer[0] == 0xEF && buffer[1] == 0xBB && buffer[2] == 0xBF) {
        start = 3;
    } else if (size >= 2) {
        const std::uint8_t b0 = buffer[0];
        const std::uint8_t b1 = buffer[1];
        utf16 = true;
        if (b0 == 0xFF && b1 == 0xFE) {
            transcodeUtf16(buffer, 2, false);
        } else if (b0 == 0xFE && b1 == 0xFF) {
            transcodeUtf16(buffer, 2, true);
        } else if (b0 == '<' && b1 == 0) {
            transcodeUtf16(buffer, 0, false);
        } else if (b0 == 0 && b1 == '<') {
            transcodeUtf16(buffer, 0, true);
        } else {
            utf16 = false;
        }
    }
    // A declaration that names another encoding than the bytes are in is a fatal error: the
    // document cannot be both.
    if (const auto declared = declaredEncoding(buffer, start)) {
        const bool matches = utf16 ? declared->first == "UTF-16" : declared->first == "UTF-8";
        if (!matches && (declared->first == "UTF-8" || declared->first == "UTF-16"))
            throw XmlError(declared->second,
                           "the declared encoding does not match the document's bytes");
    }
    return start;
}

}  // namespace vorkel
