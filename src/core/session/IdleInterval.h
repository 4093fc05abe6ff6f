#pragma once

#include <optional>

#include "core/storage/Settings.h"

namespace vorkel {

/// The idle timer's interval in milliseconds for the options, or nullopt when the timer must
/// stay stopped (MinProg off, or a minute count that could never elapse: zero or less).
/// Counts too large for a timer are held at the longest interval one can wait.
std::optional<int> idleIntervalMs(const Options& options);

}  // namespace vorkel
