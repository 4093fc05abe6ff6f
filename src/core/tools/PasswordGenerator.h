#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/entries/Clock.h"
#include "core/storage/RandomSource.h"

namespace vorkel {

/// The generator's pure core: MD5(random || password bytes) keys AES-128, the feedback register
/// starts at AES(K, 0), the date-time text is enciphered in 8-bit CFB and the result is Base64
/// encoded with "=" padding.
std::string generatePasswordFrom(const std::array<std::uint8_t, 8>& random,
                                 std::string_view masterPasswordBytes,
                                 std::string_view dateTimeText);

/// Draws 8 bytes from `random`, maps the master password (UTF-8) by the pass string rule, formats
/// `clock`'s now and returns the whole Base64 text; callers cut it to the length they want.
std::string GeneratePassword(RandomSource& random, const Clock& clock,
                             std::string_view masterPasswordUtf8);

/// The first n characters of a generated text (the whole text when it is shorter).
std::string cutPassword(const std::string& generated, std::size_t n);

}  // namespace vorkel
