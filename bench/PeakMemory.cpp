#include "PeakMemory.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "BenchStores.h"
#include "StoreGenerator.h"
#include "core/storage/Container.h"
#include "core/storage/DataStoreDocument.h"
#include "core/storage/FileHandle.h"

extern char** environ;

namespace vorkel::bench {

namespace {

// VmRSS and VmHWM of this process, in bytes.
struct Resident {
    std::size_t now = 0;
    std::size_t peak = 0;
};

Resident resident() {
    std::ifstream status("/proc/self/status");
    Resident r;
    std::string line;
    while (std::getline(status, line)) {
        std::size_t kb = 0;
        if (std::sscanf(line.c_str(), "VmRSS: %zu kB", &kb) == 1) r.now = kb * 1024;
        if (std::sscanf(line.c_str(), "VmHWM: %zu kB", &kb) == 1) r.peak = kb * 1024;
    }
    return r;
}

}  // namespace

int runOpenPeakChild(const char* path) {
    const SecureBytes pass = benchPassString();
    FixedClock clock(LocalDateTime{2024, 6, 14, 9, 30, 5});
    Workspace workspace(clock);
    const std::size_t base = resident().now;
    auto above = [base](std::size_t bytes) { return bytes > base ? bytes - base : 0; };

    OpenMemory m;
    // The same steps as the program's load, one at a time.
    SecureBytes plain = container::DecryptFromFile(path, pass);
    m.peakAfterDecrypt = above(resident().peak);
    std::vector<EntryPtr> entries = datastore::parse(std::move(plain), 1.2);
    m.peakAfterParse = above(resident().peak);
    workspace.ReplaceEntries(std::move(entries));
    entries = {};
    m.peakOpen = above(resident().peak);
    m.heldOpen = above(resident().now);
    workspace.ShowAllEntries();
    workspace.ApplyOrder(ListOrder::AtoZ);
    m.peakLoad = above(resident().peak);
    m.heldLoad = above(resident().now);

    std::printf("%zu %zu %zu %zu %zu %zu\n", m.peakAfterDecrypt, m.peakAfterParse, m.peakOpen,
                m.heldOpen, m.peakLoad, m.heldLoad);
    return workspace.master().empty() ? 1 : 0;
}

OpenMemory measureOpenPeak(const std::string& path) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    FileHandle readEnd(fds[0]);
    FileHandle writeEnd(fds[1]);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), STDOUT_FILENO);
    std::string self = "/proc/self/exe";
    std::string flag = kOpenPeakSwitch;
    std::string store = path;
    char* argv[] = {self.data(), flag.data(), store.data(), nullptr};
    pid_t child = 0;
    const int spawned = ::posix_spawn(&child, self.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw std::runtime_error(std::string("cannot start the child: ") + std::strerror(spawned));
    writeEnd.close();

    std::string output;
    char buffer[256];
    for (ssize_t n; (n = ::read(readEnd.get(), buffer, sizeof buffer)) != 0;) {
        if (n < 0) {
            if (errno == EINTR) continue;
            break;
        }
        output.append(buffer, static_cast<std::size_t>(n));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("the open-peak child failed");

    OpenMemory m;
    std::istringstream in(output);
    in >> m.peakAfterDecrypt >> m.peakAfterParse >> m.peakOpen >> m.heldOpen >> m.peakLoad >>
        m.heldLoad;
    if (!in) throw std::runtime_error("the open-peak child printed \"" + output + "\"");
    return m;
}

}  // namespace vorkel::bench
