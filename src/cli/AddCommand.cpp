#include "cli/AddCommand.h"

#include "cli/CommandLine.h"
#include "cli/UsageError.h"

namespace vorkel::cli {

std::string_view AddCommand::summary() const {
    return "append a new entry, then save";
}

std::string_view AddCommand::help() const {
    return "Usage: vorkel-cli [--folder DIR] --user NAME [--password-stdin] add --title T\n"
           "                  [--username U] [--email E] [--password P] [--url W] [--notes N]\n"
           "\n"
           "Appends a new entry at the end of the list, audited as NAME (created, modified\n"
           "and accessed now, counters 1, access \"Private\"), then writes the data store and\n"
           "the settings file. N is stored as given.\n";
}

int AddCommand::run(const std::vector<std::string>& args, std::istream& in, std::ostream&,
                    std::ostream& err) {
    const CommandLine line(args,
                           {"--title", "--username", "--email", "--password", "--url", "--notes"});
    line.expectOperands({});
    const auto title = line.value("--title");
    if (!title) throw UsageError("The option --title T is required.");
    auto given = [&](std::string_view option) { return line.value(option).value_or(""); };

    Session session = m_context.makeSession();
    m_context.setLogon(session, in);
    const auto lock = m_context.lockAndLoad(session, err);
    if (!lock) return 1;
    session.workspace().AddEntry(*title, given("--notes"), given("--username"), given("--email"),
                                 given("--password"), given("--url"), session.LogonUserName());
    session.SaveAll();
    return 0;
}

}  // namespace vorkel::cli
