#pragma once

#include "cli/Command.h"

namespace vorkel::cli {

/// `passwd`: changes the master password and rewrites both files under the new pair.
class PasswdCommand final : public Command {
public:
    using Command::Command;
    std::string_view name() const override { return "passwd"; }
    std::string_view summary() const override;
    std::string_view help() const override;
    int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
            std::ostream& err) override;
};

}  // namespace vorkel::cli
