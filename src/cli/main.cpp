#include <sys/prctl.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "cli/Cli.h"
#include "cli/TerminalPasswordSource.h"

int main(int argc, char** argv) {
    // A core dump or a debugger attached by another user's process would expose the master
    // password and every deciphered entry.
    ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    std::ios::sync_with_stdio(false);

    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    // The files lie beside the real program file, whatever name or link started it; when it
    // cannot be found, only --folder can say where they are.
    std::error_code ec;
    const std::string programFile = std::filesystem::read_symlink("/proc/self/exe", ec).string();

    vorkel::SystemRandom random;
    vorkel::SystemClock clock;
    vorkel::cli::TerminalPasswordSource passwords;
    return vorkel::cli::runCli(args, std::cin, std::cout, std::cerr, passwords, random, clock,
                               ec ? std::string() : programFile);
}
