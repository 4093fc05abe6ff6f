#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/entries/Clock.h"

namespace vorkel {

/// Local time of an ISO 8601 date-time ("2021-03-04T10:20:30Z", with optional fraction of a
/// second and "Z", "+hh:mm" or no zone, which means local time); nullopt when it is not one.
std::optional<LocalDateTime> localFromIso8601(std::string_view text);

/// Local time of Unix epoch milliseconds written in decimal; nullopt when it is not a number.
std::optional<LocalDateTime> localFromEpochMillis(std::string_view text);

/// "yyyy-mm-ddThh:mm:ssZ" (UTC) of stored date-time text ("dd/mm/yyyy hh:mm:ss" or
/// "dd/mm/yyyy", local); empty when the text is neither.
std::string iso8601FromStored(std::string_view text);

}  // namespace vorkel
