#pragma once

#include <string>

namespace vorkel::test {

/// The master password the crash writer's password-changing save of `generation` sets.
inline std::string crashPassword(long generation) {
    return "pass " + std::to_string(generation);
}

}  // namespace vorkel::test
