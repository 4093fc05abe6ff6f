#include "storage/XmlEncoding.h"

#include <cstdint>

#include "storage/XmlCharacters.h"
#include "storage/XmlError.h"

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

}  // namespace

std::size_t prepareUtf8(SecureBytes& buffer) {
    const std::size_t size = buffer.size();
    if (size >= 3 && buffer[0] == 0xEF && buffer[1] == 0xBB && buffer[2] == 0xBF) return 3;
    if (size >= 2) {
        const std::uint8_t b0 = buffer[0];
        const std::uint8_t b1 = buffer[1];
        if (b0 == 0xFF && b1 == 0xFE) {
            transcodeUtf16(buffer, 2, false);
        } else if (b0 == 0xFE && b1 == 0xFF) {
            transcodeUtf16(buffer, 2, true);
        } else if (b0 == '<' && b1 == 0) {
            transcodeUtf16(buffer, 0, false);
        } else if (b0 == 0 && b1 == '<') {
            transcodeUtf16(buffer, 0, true);
        }
    }
    return 0;
}

}  // namespace vorkel
