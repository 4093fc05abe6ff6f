#pragma once

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorkel::cli {

/// Arguments split into options and operands. Options are "--name value" or "--name=value"
/// (valued) and "--name" (flags); "--" ends the options, and "-" is an operand.
class CommandLine {
public:
    /// Where the options stop besides at "--": a command's options may stand among its operands;
    /// the tool's own stop at the command's name, which with all after it is left as operands.
    enum class OptionsEnd { AtEnd, AtFirstOperand };

    /// Parses `args`; throws UsageError for an unknown, repeated or value-less option (refusing
    /// an unknown one that would carry a secret as refuseSecretOptions does).
    CommandLine(const std::vector<std::string>& args,
                std::initializer_list<std::string_view> valued,
                std::initializer_list<std::string_view> flags = {},
                OptionsEnd optionsEnd = OptionsEnd::AtEnd);

    /// The value given to a valued option, if it was given.
    std::optional<std::string> value(std::string_view option) const;
    /// True when the flag was given.
    bool has(std::string_view flag) const;
    /// The arguments that are not options, in order.
    const std::vector<std::string>& operands() const { return m_operands; }
    /// Throws UsageError unless exactly the operands named in `names` were given.
    void expectOperands(std::initializer_list<std::string_view> names) const;

private:
    std::map<std::string, std::string, std::less<>> m_values;
    std::vector<std::string> m_operands;
};

/// Throws UsageError, saying how to pass them instead, when any option before "--" would carry
/// a password or passphrase: arguments are readable by every local user.
void refuseSecretOptions(const std::vector<std::string>& args);

/// A whole number from `minimum` up, or UsageError naming `what`.
std::size_t parseCount(const std::string& text, std::string_view what, std::size_t minimum);

}  // namespace vorkel::cli
