#include "cli/Cli.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>

#include "Error.h"
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

namespace vorkel::cli {
namespace {

constexpr std::string_view kToolUsage =
    "Usage: vorkel-cli [--folder DIR] --user NAME [--password-stdin] COMMAND [ARGS]\n";

// The options before the command.
struct GlobalOptions {
    std::optional<std::string> folder;
    std::optional<std::string> user;
    bool passwordFromStdin = false;
    bool help = false;
    std::optional<std::string> command;
    std::vector<std::string> commandArgs;
};

GlobalOptions parseGlobalOptions(const std::vector<std::string>& args) {
    GlobalOptions options;
    auto takeValue = [&](std::size_t& i, const std::string& name, std::optional<std::string>& into,
                         std::size_t equals) {
        if (into) throw UsageError("The option " + name + " is given twice.");
        if (equals != std::string::npos) {
            into = args[i].substr(equals + 1);
        } else {
            if (i + 1 >= args.size()) throw UsageError("The option " + name + " needs a value.");
            into = args[++i];
        }
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.empty() || arg[0] != '-') {
            options.command = arg;
            options.commandArgs.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                       args.end());
            break;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        if (name == "--folder") {
            takeValue(i, name, options.folder, equals);
        } else if (name == "--user") {
            takeValue(i, name, options.user, equals);
        } else if (arg == "--password-stdin") {
            options.passwordFromStdin = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else {
            refuseSecretOptions({arg});
            throw UsageError("Unknown option " + name + ".");
        }
    }
    return options;
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
std::string sessionProgramFile(const GlobalOptions& options, const std::string& programFile) {
    if (!options.folder) return programFile;
    if (options.folder->empty()) throw UsageError("The option --folder needs a folder.");
    return (std::filesystem::absolute(*options.folder).lexically_normal() / "vorkel-cli").string();
}

}  // namespace

int runCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err, const PasswordSource& passwords, RandomSource& random,
           const Clock& clock, const std::string& programFile) {
    std::string usageHint = "Run 'vorkel-cli --help' for usage.";
    int code = kDone;
    try {
        const GlobalOptions options = parseGlobalOptions(args);
        const CommandContext context(sessionProgramFile(options, programFile), options.user,
                                     options.passwordFromStdin, passwords, random, clock);
        const auto commands = allCommands(context);
        if (options.help) {
            printToolHelp(out, commands);
        } else {
            if (!options.command) throw UsageError("No command given.");
            auto found = std::find_if(commands.begin(), commands.end(),
                                      [&](const auto& c) { return c->name() == *options.command; });
            if (found == commands.end())
                throw UsageError("Unknown command \"" + *options.command + "\".");
            Command& command = **found;
            usageHint =
                "Run 'vorkel-cli " + std::string(command.name()) + " --help' for its usage.";
            if (asksForHelp(options.commandArgs)) {
                out << command.help();
            } else {
                code = command.run(options.commandArgs, in, out, err);
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
