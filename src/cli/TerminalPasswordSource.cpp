#include "cli/TerminalPasswordSource.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>

#include "core/Error.h"
#include "core/storage/FileHandle.h"

namespace vorkel::cli {
namespace {

constexpr std::array<int, 4> kFatalSignals = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// What a signal handler needs to put the terminal back; only plain data, set before the
// handlers are installed.
volatile std::sig_atomic_t g_ttyFd = -1;
struct termios g_savedMode {};
std::array<struct sigaction, kFatalSignals.size()> g_previousActions{};

extern "C" void restoreTerminalThenResignal(int sig) {
    if (g_ttyFd >= 0) ::tcsetattr(g_ttyFd, TCSAFLUSH, &g_savedMode);
    for (std::size_t i = 0; i < kFatalSignals.size(); ++i)
        if (kFatalSignals[i] == sig) ::sigaction(sig, &g_previousActions[i], nullptr);
    ::raise(sig);
}

Error ttyError(const char* what, int err) {
    return Error(std::string("Cannot read the password from the terminal (") + what + ": " +
                 std::strerror(err) + "). Use --password-stdin to give it on standard input.");
}

// Echo off for the lifetime of the object; the previous mode comes back however the read ends.
class EchoOff {
public:
    explicit EchoOff(int fd) {
        if (::tcgetattr(fd, &g_savedMode) != 0) throw ttyError("tcgetattr", errno);
        struct termios quiet = g_savedMode;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL);
        quiet.c_lflag |= ICANON;
        g_ttyFd = fd;
        struct sigaction action {};
        action.sa_handler = restoreTerminalThenResignal;
        sigemptyset(&action.sa_mask);
        for (std::size_t i = 0; i < kFatalSignals.size(); ++i)
            ::sigaction(kFatalSignals[i], &action, &g_previousActions[i]);
        if (::tcsetattr(fd, TCSAFLUSH, &quiet) != 0) {
            const int err = errno;
            restore();
            throw ttyError("tcsetattr", err);
        }
    }
    ~EchoOff() { restore(); }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    void restore() noexcept {
        ::tcsetattr(g_ttyFd, TCSAFLUSH, &g_savedMode);
        for (std::size_t i = 0; i < kFatalSignals.size(); ++i)
            ::sigaction(kFatalSignals[i], &g_previousActions[i], nullptr);
        g_ttyFd = -1;
    }
};

void writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return;  // a prompt that cannot be shown does not stop the read
        }
        text.remove_prefix(static_cast<std::size_t>(n));
    }
}

}  // namespace

SecureString TerminalPasswordSource::read(std::string_view prompt) const {
    FileHandle tty(::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!tty) throw ttyError("/dev/tty", errno);
    writeAll(tty.get(), prompt);
    SecureString line;
    {
        EchoOff quiet(tty.get());
        for (;;) {
            char c = 0;
            const ssize_t n = ::read(tty.get(), &c, 1);
            if (n < 0) {
                if (errno == EINTR) continue;
                const int err = errno;
                secureWipe(&c, 1);
                throw ttyError("read", err);
            }
            if (n == 0 || c == '\n') break;
            line.push_back(c);
            secureWipe(&c, 1);
        }
    }
    // The Enter key was not echoed either.
    writeAll(tty.get(), "\n");
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

}  // namespace vorkel::cli
