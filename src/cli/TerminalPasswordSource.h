#pragma once

#include "cli/PasswordSource.h"

namespace vorkel::cli {

/// Reads passwords from the controlling terminal (/dev/tty) with echo switched off, so they
/// neither show on screen nor mix with redirected standard input and output. A signal that
/// ends the process while echo is off puts the terminal back first.
class TerminalPasswordSource final : public PasswordSource {
public:
    SecureString read(std::string_view prompt) const override;
};

}  // namespace vorkel::cli
