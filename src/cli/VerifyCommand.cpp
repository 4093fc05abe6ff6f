#include "cli/VerifyCommand.h"

#include "cli/CommandLine.h"

namespace vorkel::cli {

std::string_view VerifyCommand::summary() const {
    return "exit 0 when the user name and password open the settings file, else 1";
}

std::string_view VerifyCommand::help() const {
    return "Usage: vorkel-cli [--folder DIR] --user NAME [--password-stdin] verify\n"
           "\n"
           "Checks the logon: exit 0 when NAME and the master password open the settings\n"
           "file; otherwise the logon message on standard error and exit 1.\n";
}

int VerifyCommand::run(const std::vector<std::string>& args, std::istream& in, std::ostream&,
                       std::ostream& err) {
    CommandLine(args, {}).expectOperands({});
    Session session = m_context.makeSession();
    // Only the settings file is judged: the logon is exactly what this command reports on.
    return m_context.logOn(session, in, err) ? 0 : 1;
}

}  // namespace vorkel::cli
