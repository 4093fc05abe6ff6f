#include "cli/ListCommand.h"

#include <ostream>

#include "cli/CommandLine.h"
#include "cli/UsageError.h"

namespace vorkel::cli {
namespace {

ListOrder orderNamed(const std::string& name) {
    if (name == "added") return ListOrder::DateAdded;
    if (name == "updated") return ListOrder::DateUpdated;
    if (name == "az") return ListOrder::AtoZ;
    if (name == "za") return ListOrder::ZtoA;
    throw UsageError("Unknown order \"" + name + "\"; use added, updated, az or za.");
}

}  // namespace

std::string_view ListCommand::summary() const {
    return "the titles, one per line";
}

std::string_view ListCommand::help() const {
    return "Usage: vorkel-cli [--folder DIR] --user NAME [--password-stdin] list\n"
           "                  [--order added|updated|az|za] [--filter TEXT]\n"
           "\n"
           "Prints the entries' titles, one per line, in the data store's order or in the\n"
           "given order (date added, date updated, A to Z, Z to A). --filter keeps the titles\n"
           "that contain TEXT, letters A to Z compared without case. Nothing is saved.\n";
}

int ListCommand::run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                     std::ostream& err) {
    const CommandLine line(args, {"--order", "--filter"});
    line.expectOperands({});
    const auto order = line.value("--order");
    const ListOrder chosen = order ? orderNamed(*order) : ListOrder::None;

    Session session = m_context.makeSession();
    if (!m_context.logOnAndLoad(session, in, err)) return 1;
    Workspace& workspace = session.workspace();
    if (order) workspace.ApplyOrder(chosen);
    if (auto filter = line.value("--filter")) workspace.QuickSearch(*filter);
    for (const Entry* row : workspace.rows()) out << row->title() << '\n';
    return 0;
}

}  // namespace vorkel::cli
