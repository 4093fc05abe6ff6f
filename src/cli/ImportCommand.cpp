#include "cli/ImportCommand.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <istream>
#include <iterator>

#include "cli/CommandLine.h"
#include "cli/EntryJson.h"
#include "cli/UsageError.h"
#include "core/Error.h"
#include "core/storage/FileHandle.h"
#include "core/transfer/EntryImport.h"
#include "core/transfer/ImportFormat.h"

namespace vorkel::cli {
namespace {

std::string readAll(std::istream& stream) {
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

std::string readImport(const std::string& path, std::istream& in) {
    if (path == "-") {
        std::string text = readAll(in);
        if (in.bad()) throw Error("Cannot read standard input.");
        return text;
    }
    FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file) throw Error(fileErrorText("Cannot open file", path, errno));
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(file.get(), buffer, sizeof buffer);
        if (n == 0) return text;
        if (n < 0) {
            if (errno == EINTR) continue;
            throw Error(fileErrorText("Cannot read file", path, errno));
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
}

// One line for an entry in the import's report.
std::string describe(const ImportedEntry& e) {
    std::string line = "row " + std::to_string(e.row) + ": " + e.title;
    if (!e.username.empty()) line += " (" + e.username + ")";
    if (!e.url.empty()) line += " " + e.url;
    return line;
}

// --from: adds another manager's export to the entries.
int importFrom(const CommandContext& context, const CommandLine& line, const std::string& from,
               std::istream& in, std::ostream& out, std::ostream& err) {
    const auto format = importFormatNamed(from);
    if (!format)
        throw UsageError("Unknown format \"" + from + "\"; one of " + importFormatNames() + ".");
    if (line.has("--force")) throw UsageError("--force only goes with an import without --from.");
    const bool dryRun = line.has("--dry-run");

    Session session = context.makeSession();
    context.setLogon(session, in);
    // The whole file is read and checked before the store is touched.
    std::vector<ImportedEntry> entries = readExport(*format, readImport(line.operands()[0], in));
    // A dry run takes the lock too, so what it reports is what a real run would do now.
    const auto lock = context.lockAndLoad(session, err);
    if (!lock) return 1;
    const ImportPlan plan =
        planImport(session.workspace().master(), std::move(entries), line.has("--keep-duplicates"));
    for (const ImportedEntry& e : plan.duplicates)
        out << "Skipped, already present: " << describe(e) << '\n';
    for (const ImportedEntry& e : plan.added)
        out << (dryRun ? "Would add: " : "Added: ") << describe(e) << '\n';
    auto count = [](std::size_t n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    out << (dryRun ? "Would add " : "Added ") << count(plan.added.size(), "entry", "entries")
        << ", skipped " << count(plan.duplicates.size(), "duplicate", "duplicates") << "."
        << (dryRun ? " Nothing was written." : "") << '\n';
    if (dryRun || plan.added.empty()) return 0;
    addImported(session.workspace(), plan.added, session.LogonUserName(), session.clock());
    session.SaveAll();
    return 0;
}

}  // namespace

std::string_view ImportCommand::summary() const {
    return "replace the entries with a JSON file, or add another manager's export (--from)";
}

std::string_view ImportCommand::help() const {
    return "Usage: vorkel-cli [--folder DIR] --user NAME [--password-stdin] import [--force]\n"
           "                  FILE|-\n"
           "\n"
           "Replaces the entry list with the entries of FILE (or standard input for -, after\n"
           "the password line with --password-stdin), JSON of the shape export writes: an\n"
           "array of objects holding exactly the eighteen keys, every value a string.\n"
           "Everything is checked first; on any fault nothing is written. Then the data\n"
           "store and the settings file are written. A file with no entries is refused\n"
           "unless --force is given.\n"
           "\n"
           "       vorkel-cli [--folder DIR] --user NAME [--password-stdin] import\n"
           "                  --from FORMAT [--dry-run] [--keep-duplicates] FILE|-\n"
           "\n"
           "Adds the entries of another password manager's export, FORMAT one of\n"
           "keepassxc-csv, bitwarden-csv, bitwarden-json (unencrypted), chromium-csv,\n"
           "firefox-csv. The whole file is checked first; a malformed row, an unknown column or\n"
           "text that is not UTF-8 refuses the import, naming the row, and nothing is written.\n"
           "Each entry gets the title, web address, user name, password and notes (the\n"
           "address's host when it has no title), the user name as e-mail address when it is\n"
           "one, the creation and change times the export gives, and every other value (group\n"
           "or folder, TOTP secret, custom fields) as \"Name: value\" lines after its notes.\n"
           "An entry with the title, user name and web address of one already present is\n"
           "reported and skipped, unless --keep-duplicates. --dry-run prints what would be\n"
           "added and writes nothing. FILE is only read: delete an unencrypted export once\n"
           "it is imported.\n";
}

int ImportCommand::run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                       std::ostream& err) {
    const CommandLine line(args, {"--from"}, {"--force", "--dry-run", "--keep-duplicates"});
    line.expectOperands({"the file to import (or - for standard input)"});
    if (const auto from = line.value("--from"))
        return importFrom(m_context, line, *from, in, out, err);
    if (line.has("--dry-run") || line.has("--keep-duplicates"))
        throw UsageError("--dry-run and --keep-duplicates go with --from FORMAT.");

    Session session = m_context.makeSession();
    // The password comes first: with --password-stdin its line precedes the JSON.
    m_context.setLogon(session, in);
    std::vector<EntryPtr> entries = entryjson::read(readImport(line.operands()[0], in));
    const auto lock = m_context.lockAndLoad(session, err);
    if (!lock) return 1;
    // Replacing every entry with none is almost always a mistake (an empty export, a wrong file).
    if (entries.empty() && !line.has("--force"))
        throw Error(
            "The file holds no entries, and importing it would empty the data store. "
            "Add --force to do so all the same.");
    Workspace& workspace = session.workspace();
    workspace.ReplaceEntries(std::move(entries));
    session.SaveAll();
    return 0;
}

}  // namespace vorkel::cli
