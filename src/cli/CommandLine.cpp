#include "cli/CommandLine.h"

#include <algorithm>

#include "cli/UsageError.h"
#include "core/entries/TextRules.h"

namespace vorkel::cli {

CommandLine::CommandLine(const std::vector<std::string>& args,
                         std::initializer_list<std::string_view> valued,
                         std::initializer_list<std::string_view> flags, OptionsEnd optionsEnd) {
    auto among = [](std::initializer_list<std::string_view> names, std::string_view name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
            m_operands.push_back(arg);
            optionsEnded = optionsEnded || optionsEnd == OptionsEnd::AtFirstOperand;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        std::string value;
        if (among(valued, name)) {
            if (equals != std::string::npos) {
                value = arg.substr(equals + 1);
            } else {
                if (i + 1 >= args.size())
                    throw UsageError("The option " + name + " needs a value.");
                value = args[++i];
            }
        } else if (among(flags, name)) {
            if (equals != std::string::npos)
                throw UsageError("The option " + name + " takes no value.");
        } else {
            refuseSecretOptions({arg});
            throw UsageError("Unknown option " + name + ".");
        }
        if (!m_values.emplace(name, std::move(value)).second)
            throw UsageError("The option " + name + " is given twice.");
    }
}

std::optional<std::string> CommandLine::value(std::string_view option) const {
    auto it = m_values.find(option);
    if (it == m_values.end()) return std::nullopt;
    return it->second;
}

bool CommandLine::has(std::string_view flag) const {
    return m_values.find(flag) != m_values.end();
}

void CommandLine::expectOperands(std::initializer_list<std::string_view> names) const {
    if (m_operands.size() < names.size())
        throw UsageError("Missing " + std::string(names.begin()[m_operands.size()]) + ".");
    if (m_operands.size() > names.size())
        throw UsageError("Unexpected argument \"" + m_operands[names.size()] + "\".");
}

void refuseSecretOptions(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--") return;
        const std::string name = arg.substr(0, arg.find('='));
        if (name == "--password" || name == "--passphrase" || name == "--master-password" ||
            name == "--pass")
            throw UsageError(
                "The option " + name +
                " is refused: every local user can read a program's arguments. The master "
                "password is typed at the terminal without echo, or given as the first line of "
                "standard input with --password-stdin; add --with-password reads the entry's "
                "password the same way, after the master password.");
    }
}

std::size_t parseCount(const std::string& text, std::string_view what, std::size_t minimum) {
    const auto number = parseDigits(text);
    if (!number || static_cast<std::size_t>(*number) < minimum)
        throw UsageError(std::string(what) + " must be a whole number from " +
                         std::to_string(minimum) + " up, not \"" + text + "\".");
    return static_cast<std::size_t>(*number);
}

}  // namespace vorkel::cli
