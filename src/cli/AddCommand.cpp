#include "cli/AddCommand.h"

#include "cli/CommandContext.h"
#include "cli/CommandLine.h"
#include "cli/UsageError.h"

namespace vorkel::cli {

std::string_view AddCommand::summary() const {
    return "append a new entry, then save";
}

std::string_view AddCommand::help() const {
    return "Usage: vorkel-cli [--folder DIR] --user NAME [--password-stdin] add --title T\n"
           "                  [--username U] [--email E] [--url W] [--notes N] [--with-password]\n"
           "\n"
           "Appends a new entry at the end of the list, audited as NAME (created, modified\n"
           "and accessed now, counters 1, access \"Private\"), then writes the data store and\n"
           "the settings file. N is stored as given.\n"
           "\n"
           "The entry's password is never an argument, which every local user could read:\n"
           "with --with-password it is typed at the terminal without echo after the master\n"
           "password, or, with --password-stdin, read from the line after the master\n"
           "password's.\n";
}

int AddCommand::run(const std::vector<std::string>& args, std::istream& in, std::ostream&,
                    std::ostream& err) {
    refuseSecretOptions(args);
    const CommandLine line(args, {"--title", "--username", "--email", "--url", "--notes"},
                           {"--with-password"});
    line.expectOperands({});
    const auto title = line.value("--title");
    if (!title) throw UsageError("The option --title T is required.");
    auto given = [&](std::string_view option) { return line.value(option).value_or(""); };

    Session session = m_context.makeSession();
    m_context.setLogon(session, in);
    const SecureString password = line.has("--with-password")
                                      ? m_context.readPassword(in, "Entry password: ")
                                      : SecureString();
    const auto lock = m_context.lockAndLoad(session, err);
    if (!lock) return 1;
    session.workspace().AddEntry(*title, given("--notes"), given("--username"), given("--email"),
                                 password, given("--url"), session.LogonUserName());
    session.SaveAll();
    return 0;
}

}  // namespace vorkel::cli
