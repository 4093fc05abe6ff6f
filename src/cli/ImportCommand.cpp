#include "cli/ImportCommand.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <istream>
#include <iterator>

#include "Error.h"
#include "cli/CommandLine.h"
#include "cli/EntryJson.h"
#include "storage/FileHandle.h"

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

}  // namespace

std::string_view ImportCommand::summary() const {
    return "replace the entries with those of a JSON file (or - for standard input)";
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
           "unless --force is given.\n";
}

int ImportCommand::run(const std::vector<std::string>& args, std::istream& in, std::ostream&,
                       std::ostream& err) {
    const CommandLine line(args, {}, {"--force"});
    line.expectOperands({"the file to import (or - for standard input)"});

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
    workspace.master().assign(std::move(entries));
    workspace.ShowAllEntries();
    session.SaveAll();
    return 0;
}

}  // namespace vorkel::cli
