#include "cli/Cli.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>

#include "cli/AddCommand.h"
#include "cli/BackupCommand.h"
#include "cli/CommandContext.h"
#include "cli/CommandLine.h"
#include "cli/ExportCommand.h"
#include "cli/GenerateCommand.h"
#include "cli/ImportCommand.h"
#include "cli/InitCommand.h"
#include "cli/ListCommand.h"
#include "cli/PasswdCommand.h"
#include "cli/RestoreCommand.h"
#include "cli/SearchCommand.h"
#include "cli/ShowCommand.h"
#include "cli/UsageError.h"
#include "cli/VerifyCommand.h"
#include "core/Error.h"

namespace vorkel::cli {
namespace {

constexpr std::string_view kToolUsage =
    "Usage: vorkel-cli [--folder DIR] --user NAME [--password-stdin] COMMAND [ARGS]\n";

// The tool's own options; the command's name and its arguments are the operands.
CommandLine toolOptions(const std::vector<std::string>& args) {
    return CommandLine(args, {"--folder", "--user"}, {"--password-stdin", "--help", "-h"},
                       CommandLine::OptionsEnd::AtFirstOperand);
}

// --help anywhere among a command's options (not after "--") asks for its help.
bool asksForHelp(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--") return false;
        if (arg == "--help" || arg == "-h") return true;
    }
    return false;
}

std::vector<std::unique_ptr<Command>> allCommands(const CommandContext& context) {
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(std::make_unique<InitCommand>(context));
    commands.push_back(std::make_unique<VerifyCommand>(context));
    commands.push_back(std::make_unique<ListCommand>(context));
    commands.push_back(std::make_unique<ShowCommand>(context));
    commands.push_back(std::make_unique<ExportCommand>(context));
    commands.push_back(std::make_unique<ImportCommand>(context));
    commands.push_back(std::make_unique<AddCommand>(context));
    commands.push_back(std::make_unique<SearchCommand>(context));
    commands.push_back(std::make_unique<GenerateCommand>(context));
    commands.push_back(std::make_unique<PasswdCommand>(context));
    commands.push_back(std::make_unique<BackupCommand>(context));
    commands.push_back(std::make_unique<RestoreCommand>(context));
    return commands;
}

void printToolHelp(std::ostream& out, const std::vector<std::unique_ptr<Command>>& commands) {
    out << kToolUsage
        << "\n"
           "Works on the data store Vorkel4.xdb and the settings file Vorkel4.vfg in DIR\n"
           "(default: the folder of the vorkel-cli program file). The master password is read\n"
           "from the terminal without echo, or with --password-stdin as the first line of\n"
           "standard input. Every command but init first logs on with NAME and the password.\n"
           "\n"
           "Commands:\n";
    for (const auto& command : commands) {
        std::string name(command->name());
        name.resize(std::max<std::size_t>(name.size() + 2, 10), ' ');
        out << "  " << name << command->summary() << '\n';
    }
    out << "\n"
           "Exit codes: 0 done, 1 logon failed or nothing found, 2 usage error,\n"
           "3 any other error (the message goes to standard error).\n"
           "Run 'vorkel-cli COMMAND --help' for a command's arguments.\n";
}

// The program file the session sees: --folder DIR stands in a program file inside DIR, so the
// files land in DIR whatever the real program's location.
std::string sessionProgramFile(const std::optional<std::string>& folder,
                               const std::string& programFile) {
    if (!folder) return programFile;
    if (folder->empty()) throw UsageError("The option --folder needs a folder.");
    return (std::filesystem::absolute(*folder).lexically_normal() / "vorkel-cli").string();
}

}  // namespace

int runCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err, const PasswordSource& passwords, RandomSource& random,
           const Clock& clock, const std::string& programFile) {
    std::string usageHint = "Run 'vorkel-cli --help' for usage.";
    int code = kDone;
    try {
        const CommandLine options = toolOptions(args);
        const CommandContext context(sessionProgramFile(options.value("--folder"), programFile),
                                     options.value("--user"), options.has("--password-stdin"),
                                     passwords, random, clock);
        const auto commands = allCommands(context);
        if (options.has("--help") || options.has("-h")) {
            printToolHelp(out, commands);
        } else {
            if (options.operands().empty()) throw UsageError("No command given.");
            const std::string& name = options.operands().front();
            auto found = std::find_if(commands.begin(), commands.end(),
                                      [&](const auto& c) { return c->name() == name; });
            if (found == commands.end()) throw UsageError("Unknown command \"" + name + "\".");
            Command& command = **found;
            usageHint =
                "Run 'vorkel-cli " + std::string(command.name()) + " --help' for its usage.";
            const std::vector<std::string> commandArgs(options.operands().begin() + 1,
                                                       options.operands().end());
            if (asksForHelp(commandArgs)) {
                out << command.help();
            } else {
                code = command.run(commandArgs, in, out, err);
            }
        }
    } catch (const UsageError& e) {
        err << e.what() << '\n' << usageHint << '\n';
        return kUsageError;
    } catch (const std::exception& e) {
        err << e.what() << '\n';
        return kFailed;
    }
    // Output that did not arrive (a full disk, say) must not pass for success.
    if (!out.flush()) {
        err << "Cannot write to standard output.\n";
        return kFailed;
    }
    return code;
}

}  // namespace vorkel::cli
