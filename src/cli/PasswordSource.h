#pragma once

#include <string_view>

#include "core/storage/SecureBytes.h"

namespace vorkel::cli {

/// Where typed passwords come from when they are not piped in: the terminal in the program,
/// scripted answers in tests.
class PasswordSource {
public:
    virtual ~PasswordSource() = default;
    /// Shows `prompt` and reads one line without echoing it (line end removed); throws Error
    /// when nothing can be read.
    virtual SecureString read(std::string_view prompt) const = 0;
};

}  // namespace vorkel::cli
