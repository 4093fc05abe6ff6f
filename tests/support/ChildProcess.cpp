#include "support/ChildProcess.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vorkel::test {

pid_t startProcess(const std::vector<std::string>& argv, const std::string& in,
                   const std::string& out, const std::string& err) {
    // Everything the child needs is made before the fork: after it, only system calls.
    std::vector<std::string> args = argv;
    std::vector<char*> raw;
    for (auto& a : args) raw.push_back(a.data());
    raw.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setsid();
        const int i = ::open(in.c_str(), O_RDONLY);
        const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (i < 0 || o < 0 || e < 0) ::_exit(120);
        ::dup2(i, 0);
        ::dup2(o, 1);
        ::dup2(e, 2);
        ::execv(raw[0], raw.data());
        ::_exit(121);
    }
    return pid < 0 ? -1 : pid;
}

int exitStatusOf(pid_t pid) {
    // waitpid(-1) would wait for any child at all.
    if (pid <= 0) return -1;
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

ProcessResult runProcess(const std::vector<std::string>& argv, const TempDir& scratch,
                         const std::string& input, const std::string& tag) {
    const std::string in = scratch.file(tag + ".in"), out = scratch.file(tag + ".out"),
                      err = scratch.file(tag + ".err");
    writeFile(in, input);
    ProcessResult r;
    r.code = exitStatusOf(startProcess(argv, in, out, err));
    r.out = readFile(out);
    r.err = readFile(err);
    return r;
}

}  // namespace vorkel::test
