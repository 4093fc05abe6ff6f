#pragma once

#include "cli/Command.h"

namespace vorkel::cli {

/// `generate`: a generated password.
class GenerateCommand final : public Command {
public:
    using Command::Command;
    std::string_view name() const override { return "generate"; }
    std::string_view summary() const override;
    std::string_view help() const override;
    int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
            std::ostream& err) override;
};

}  // namespace vorkel::cli
