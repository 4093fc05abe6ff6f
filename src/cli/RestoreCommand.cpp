#include "cli/RestoreCommand.h"

#include "cli/CommandLine.h"

namespace vorkel::cli {

std::string_view RestoreCommand::summary() const {
    return "replace the entries with a backup's, then save";
}

std::string_view RestoreCommand::help() const {
    return "Usage: vorkel-cli [--folder DIR] --user NAME [--password-stdin] restore FILE\n"
           "\n"
           "Replaces the entry list with the entries of the backup FILE, in the backup's\n"
           "order (the sample entries when it holds none), then writes the data store and\n"
           "the settings file. A backup that does not open under the current user name and\n"
           "master password changes nothing.\n";
}

int RestoreCommand::run(const std::vector<std::string>& args, std::istream& in, std::ostream&,
                        std::ostream& err) {
    const CommandLine line(args, {});
    line.expectOperands({"the backup file"});
    Session session = m_context.makeSession();
    m_context.setLogon(session, in);
    const auto lock = m_context.lockAndLoad(session, err);
    if (!lock) return 1;
    session.RestoreFrom(line.operands()[0]);
    session.SaveAll();
    return 0;
}

}  // namespace vorkel::cli
