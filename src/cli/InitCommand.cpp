#include "cli/InitCommand.h"

#include <istream>

#include "cli/CommandLine.h"
#include "cli/UsageError.h"
#include "core/session/Messages.h"

namespace vorkel::cli {

std::string_view InitCommand::summary() const {
    return "create the account: settings file and a data store with the sample entries";
}

std::string_view InitCommand::help() const {
    return "Usage: vorkel-cli [--folder DIR] --user NAME [--password-stdin] init [--force]\n"
           "\n"
           "Creates a new account in the folder: the settings file (default options and the\n"
           "eleven password types) and a data store holding the four sample entries, both\n"
           "under NAME and the master password. Refused when a settings file exists, and\n"
           "when a data store exists unless --force, which first keeps the old data store\n"
           "under a dated name (Vorkel4-YYYYMMDD-HHMMSS.xdb) beside it.\n"
           "At the terminal the password is asked for twice.\n";
}

int InitCommand::run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                     std::ostream&) {
    const CommandLine line(args, {}, {"--force"});
    line.expectOperands({});
    Session session = m_context.makeSession();
    m_context.setLogon(session, in);
    if (!m_context.passwordFromStdin()) {
        const SecureString confirmation = m_context.readPassword(in, "Confirm password: ");
        if (!session.isCurrentMasterPassword(confirmation))
            throw UsageError(std::string(msg::kConfirmationMismatch));
    }
    const FolderLock lock = m_context.lockFolder(session);
    if (const auto setAside = session.InitAccount(line.has("--force")))
        out << "The previous data store was kept as \"" << *setAside << "\".\n";
    return 0;
}

}  // namespace vorkel::cli
