#include "cli/GenerateCommand.h"

#include <ostream>

#include "cli/CommandLine.h"
#include "core/tools/PasswordGenerator.h"

namespace vorkel::cli {

std::string_view GenerateCommand::summary() const {
    return "a generated password (default 8 characters)";
}

std::string_view GenerateCommand::help() const {
    return "Usage: vorkel-cli [--folder DIR] --user NAME [--password-stdin] generate [--length N]\n"
           "\n"
           "Prints the first N characters (default 8) of a newly generated password. The\n"
           "generated text is rarely longer than 28 characters; a longer N gives all of it.\n";
}

int GenerateCommand::run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                         std::ostream& err) {
    const CommandLine line(args, {"--length"});
    line.expectOperands({});
    const auto length = line.value("--length");
    const std::size_t n = length ? parseCount(*length, "The length", 1) : 8;

    Session session = m_context.makeSession();
    if (!m_context.logOnAndLoad(session, in, err)) return 1;
    out << cutPassword(session.GeneratePassword(), n) << '\n';
    return 0;
}

}  // namespace vorkel::cli
