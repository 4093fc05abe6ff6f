#include "cli/SearchCommand.h"

#include <ostream>

#include "cli/CommandLine.h"
#include "core/tools/AdvancedSearch.h"

namespace vorkel::cli {

std::string_view SearchCommand::summary() const {
    return "entries whose title or notes hold TEXT (exit 1 when none)";
}

std::string_view SearchCommand::help() const {
    return "Usage: vorkel-cli [--folder DIR] --user NAME [--password-stdin] search TEXT\n"
           "\n"
           "The advanced search: every entry whose title or notes contain TEXT (letters A to\n"
           "Z compared without case), one line each: its position (from 0, in the data\n"
           "store's order), a tab and its title. Exit 1 when nothing matched.\n";
}

int SearchCommand::run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                       std::ostream& err) {
    const CommandLine line(args, {});
    line.expectOperands({"the text to search for"});

    Session session = m_context.makeSession();
    if (!m_context.logOnAndLoad(session, in, err)) return 1;
    const SearchResults results = RunSearch(session.workspace().master(), line.operands()[0]);
    for (const SearchHit& hit : results.hits) out << hit.position << '\t' << hit.title << '\n';
    return results.hits.empty() ? 1 : 0;
}

}  // namespace vorkel::cli
