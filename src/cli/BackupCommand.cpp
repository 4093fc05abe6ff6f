#include "cli/BackupCommand.h"

#include "cli/CommandLine.h"

namespace vorkel::cli {

std::string_view BackupCommand::summary() const {
    return "write the entries to a backup file";
}

std::string_view BackupCommand::help() const {
    return "Usage: vorkel-cli [--folder DIR] --user NAME [--password-stdin] backup FILE\n"
           "\n"
           "Writes the entry list to FILE as a data store under the current user name and\n"
           "master password. The folder's own data store is not written.\n";
}

int BackupCommand::run(const std::vector<std::string>& args, std::istream& in, std::ostream&,
                       std::ostream& err) {
    const CommandLine line(args, {});
    line.expectOperands({"the backup file"});
    Session session = m_context.makeSession();
    if (!m_context.logOnAndLoad(session, in, err)) return 1;
    session.BackupTo(line.operands()[0]);
    return 0;
}

}  // namespace vorkel::cli
