#include "cli/ExportCommand.h"

#include <ostream>

#include "cli/CommandLine.h"
#include "cli/EntryJson.h"
#include "cli/UsageError.h"
#include "core/transfer/CsvExport.h"

namespace vorkel::cli {

std::string_view ExportCommand::summary() const {
    return "the entries as a JSON array on standard output";
}

std::string_view ExportCommand::help() const {
    return "Usage: vorkel-cli [--folder DIR] --user NAME [--password-stdin] export\n"
           "                  [--format json|csv]\n"
           "\n"
           "Writes a JSON array to standard output: one object per entry in the data store's\n"
           "order, with the eighteen attribute names as keys in document order and every\n"
           "value a string. The output is what import reads.\n"
           "\n"
           "With --format csv, writes the KeePass-family CSV layout other password managers\n"
           "import (keepassxc-csv): Group, Title, Username, Password, URL, Notes, TOTP, Icon,\n"
           "Last Modified and Created (ISO 8601, UTC), every field quoted. The e-mail address,\n"
           "passphrase, password type and expiry end the notes as \"Name: value\" lines.\n";
}

int ExportCommand::run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                       std::ostream& err) {
    const CommandLine line(args, {"--format"});
    line.expectOperands({});
    const std::string format = line.value("--format").value_or("json");
    if (format != "json" && format != "csv")
        throw UsageError("Unknown export format \"" + format + "\"; one of json, csv.");
    Session session = m_context.makeSession();
    if (!m_context.logOnAndLoad(session, in, err)) return 1;
    const EntryList& entries = session.workspace().master();
    out << (format == "csv" ? keePassCsv(entries) : entryjson::write(entries));
    return 0;
}

}  // namespace vorkel::cli
