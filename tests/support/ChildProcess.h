#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "support/TempDir.h"

namespace vorkel::test {

/// What a program that ran to its end gave.
struct ProcessResult {
    int code = -1;
    std::string out;
    std::string err;
};

/// Starts `argv` (argv[0] the program's path) as a child in a session of its own, so that it
/// has no controlling terminal and a password can only come through standard input. Its
/// standard input, output and error are the files at `in`, `out` and `err`, the last two made
/// or emptied. Returns its pid, or -1 when no child was made.
pid_t startProcess(const std::vector<std::string>& argv, const std::string& in,
                   const std::string& out, const std::string& err);

/// Waits for the child `pid` to end; its exit status, or -1 when it did not exit normally.
int exitStatusOf(pid_t pid);

/// Runs `argv` to its end with `input` on standard input; the streams pass through files in
/// `scratch` named after `tag`.
ProcessResult runProcess(const std::vector<std::string>& argv, const TempDir& scratch,
                         const std::string& input, const std::string& tag = "std");

}  // namespace vorkel::test
