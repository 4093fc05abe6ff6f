#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CommandContext.h"

namespace vorkel::cli {

/// One command of the tool. `run` gets the arguments after the command's name and returns the
/// exit code; it throws UsageError for a command line it cannot act on and Error (or any other
/// exception) for a failure, which the dispatcher turns into exit codes 2 and 3.
class Command {
public:
    explicit Command(const CommandContext& context) : m_context(context) {}
    virtual ~Command() = default;
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;

    /// The word that selects the command.
    virtual std::string_view name() const = 0;
    /// One line for the tool's command list.
    virtual std::string_view summary() const = 0;
    /// The command's full help text (usage line first).
    virtual std::string_view help() const = 0;
    /// Runs the command; 0 done, 1 logon refused or nothing found.
    virtual int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                    std::ostream& err) = 0;

protected:
    const CommandContext& m_context;
};

}  // namespace vorkel::cli
