#include "cli/ExportCommand.h"

#include <ostream>

#include "cli/CommandLine.h"
#include "cli/EntryJson.h"

namespace vorkel::cli {

std::string_view ExportCommand::summary() const {
    return "the entries as a JSON array on standard output";
}

std::string_view ExportCommand::help() const {
    return "Usage: vorkel-cli [--folder DIR] --user NAME [--password-stdin] export\n"
           "\n"
           "Writes a JSON array to standard output: one object per entry in the data store's\n"
           "order, with the eighteen attribute names as keys in document order and every\n"
           "value a string. The output is what import reads.\n";
}

int ExportCommand::run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                       std::ostream& err) {
    CommandLine(args, {}).expectOperands({});
    Session session = m_context.makeSession();
    if (!m_context.logOnAndLoad(session, in, err)) return 1;
    out << entryjson::write(session.workspace().master());
    return 0;
}

}  // namespace vorkel::cli
