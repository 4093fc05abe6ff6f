#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/PasswordSource.h"
#include "core/entries/Clock.h"
#include "core/storage/RandomSource.h"

namespace vorkel::cli {

/// Exit codes of the tool.
enum ExitCode : int { kDone = 0, kRefusedOrNothingFound = 1, kUsageError = 2, kFailed = 3 };

/// The whole tool: `args` are the arguments after the program name
/// ("[--folder DIR] --user NAME [--password-stdin] COMMAND [ARGS]"). The files lie in the
/// folder of `programFile` unless --folder names another. Messages go to `err`; the result is
/// the exit code.
int runCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err, const PasswordSource& passwords, RandomSource& random,
           const Clock& clock, const std::string& programFile);

}  // namespace vorkel::cli
