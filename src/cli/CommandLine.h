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

/// A command's arguments split into options and operands. Options are "--name value" or
/// "--name=value" (valued) and "--name" (flags); "--" ends the options, and "-" is an operand.
class CommandLine {
public:
    /// Parses `args`; throws UsageError for an unknown, repeated or value-less option.
    CommandLine(const std::vector<std::string>& args,
                std::initializer_list<std::string_view> valued,
                std::initializer_list<std::string_view> flags = {});

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
