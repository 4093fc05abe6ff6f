#pragma once

#include <cstddef>

#include "core/storage/SecureBytes.h"

namespace vorkel {

/// Detects the encoding of an XML buffer by the usual rules (byte order mark, or the bytes of
/// "<" / "<?xml" in UTF-16 LE or BE without one) and brings it to UTF-8: a UTF-16 buffer is
/// replaced by its UTF-8 transcoding. Returns the offset where the UTF-8 text starts (3 after a
/// UTF-8 byte order mark, else 0). Throws XmlError on malformed UTF-16.
std::size_t prepareUtf8(SecureBytes& buffer);

}  // namespace vorkel
