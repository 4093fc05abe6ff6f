#pragma once

#include <string_view>

#include "core/storage/SecureBytes.h"

namespace vorkel {

/// The key text of every file: user name and master password joined, then mapped to bytes as a
/// whole (Windows-1252 when every character has a byte there, else UTF-8), so every split of the
/// same text keys alike. Inputs are UTF-8.
SecureBytes passStringBytes(std::string_view userName, std::string_view masterPassword);

/// One text mapped by the same rule as the pass string (used for the generator's password bytes).
SecureBytes eightBitText(std::string_view utf8);

}  // namespace vorkel
