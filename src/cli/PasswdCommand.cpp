#include "cli/PasswdCommand.h"

#include <ostream>

#include "cli/CommandLine.h"
#include "cli/UsageError.h"
#include "core/session/Messages.h"

namespace vorkel::cli {

std::string_view PasswdCommand::summary() const {
    return "change the master password";
}

std::string_view PasswdCommand::help() const {
    return "Usage: vorkel-cli [--folder DIR] --user NAME [--password-stdin] passwd\n"
           "\n"
           "Changes the master password and rewrites the data store and the settings file\n"
           "under the new one. The new password is asked for twice at the terminal; with\n"
           "--password-stdin it is the second line of standard input.\n";
}

int PasswdCommand::run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                       std::ostream& err) {
    CommandLine(args, {}).expectOperands({});
    Session session = m_context.makeSession();
    m_context.setLogon(session, in);

    // Every password is in hand and judged before the folder is locked or anything written.
    const SecureString password = m_context.readPassword(in, "New password: ");
    const SecureString confirmation = m_context.passwordFromStdin()
                                          ? password
                                          : m_context.readPassword(in, "Confirm new password: ");
    if (auto problem = Session::newPasswordProblem(password, confirmation))
        throw UsageError(std::string(*problem));
    const auto lock = m_context.lockAndLoad(session, err);
    if (!lock) return 1;
    session.ChangeMasterPassword(password);
    out << msg::kMasterPasswordUpdated << '\n';
    return 0;
}

}  // namespace vorkel::cli
