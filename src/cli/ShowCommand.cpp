#include "cli/ShowCommand.h"

#include <ostream>

#include "cli/CommandLine.h"
#include "core/Error.h"

namespace vorkel::cli {

std::string_view ShowCommand::summary() const {
    return "every field of the entry at position N";
}

std::string_view ShowCommand::help() const {
    return "Usage: vorkel-cli [--folder DIR] --user NAME [--password-stdin] show N\n"
           "\n"
           "Prints every field of the entry at position N (from 0, in the data store's\n"
           "order) as \"Name: value\" lines in the document's attribute order. Values are\n"
           "printed as they are, line breaks included.\n";
}

int ShowCommand::run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                     std::ostream& err) {
    const CommandLine line(args, {});
    line.expectOperands({"the position N"});
    const std::size_t position = parseCount(line.operands()[0], "The position", 0);

    Session session = m_context.makeSession();
    if (!m_context.logOnAndLoad(session, in, err)) return 1;
    const EntryList& list = session.workspace().master();
    if (position >= list.size())
        throw Error("There is no entry at position " + std::to_string(position) +
                    "; the list holds " + std::to_string(list.size()) + ".");
    const Entry& entry = *list.at(position);
    for (Field f : kDocumentFieldOrder) out << fieldName(f) << ": " << entry.get(f) << '\n';
    return 0;
}

}  // namespace vorkel::cli
