#include "core/session/IdleInterval.h"

#include <cstdint>
#include <limits>

namespace vorkel {

std::optional<int> idleIntervalMs(const Options& options) {
    if (!Options::on(options.MinProg) || options.MinProgMins <= 0) return std::nullopt;
    // Minutes come from the settings file unchecked; 60000 times a large count overflows int.
    const std::int64_t ms = std::int64_t{options.MinProgMins} * 60000;
    constexpr std::int64_t longest = std::numeric_limits<int>::max();
    return static_cast<int>(ms < longest ? ms : longest);
}

}  // namespace vorkel
