#pragma once

#include <string_view>

namespace vorkel {

/// Compares two secrets in time that depends only on their lengths, never on where they differ.
bool constantTimeEquals(std::string_view a, std::string_view b);

}  // namespace vorkel
