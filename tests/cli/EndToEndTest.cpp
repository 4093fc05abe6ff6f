// A few runs of the real vorkel-cli binary, with its own terminal handling and exit status.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "core/session/Messages.h"
#include "core/storage/AtomicFile.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

using namespace vorkel;
using vorkel::test::readFile;
using vorkel::test::writeFile;

namespace {

using vorkel::test::ProcessResult;

ProcessResult runProgram(const std::string& program, const vorkel::test::TempDir& scratch,
                         const std::vector<std::string>& args, const std::string& input) {
    std::vector<std::string> argv = {program};
    argv.insert(argv.end(), args.begin(), args.end());
    return vorkel::test::runProcess(argv, scratch, input);
}

ProcessResult runBinary(const vorkel::test::TempDir& scratch, const std::vector<std::string>& args,
                        const std::string& input) {
    return runProgram(VORKEL_CLI_BINARY, scratch, args, input);
}

class EndToEnd : public ::testing::Test {
protected:
    vorkel::test::TempDir folder;   // the two files
    vorkel::test::TempDir scratch;  // the child's standard streams

    ProcessResult cli(std::vector<std::string> args, const std::string& input) {
        args.insert(args.begin(), {"--folder", folder.path()});
        return runBinary(scratch, args, input);
    }
};

}  // namespace

TEST_F(EndToEnd, InitThenVerifyRightAndWrongPassword) {
    ProcessResult r = cli({"--user", "alice", "--password-stdin", "init"}, "Secret1\n");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(fileExists(folder.file("Vorkel4.vfg")));
    EXPECT_TRUE(fileExists(folder.file("Vorkel4.xdb")));

    r = cli({"--user", "alice", "--password-stdin", "verify"}, "Secret1\n");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");

    r = cli({"--user", "alice", "--password-stdin", "verify"}, "secret1\n");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, std::string(msg::kLogonIncorrect) + "\n");
    EXPECT_EQ(r.out, "");
}

TEST_F(EndToEnd, ListAndExportThroughStandardStreams) {
    ASSERT_EQ(cli({"--user", "alice", "--password-stdin", "init"}, "Secret1\n").code, 0);
    ProcessResult r =
        cli({"--user", "alice", "--password-stdin", "list", "--order", "za"}, "Secret1\n");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Yahoo!\nWindows Live (Hotmail)\nGoogle Email (Gmail)\nA Sample Entry\n");

    const ProcessResult exported =
        cli({"--user", "alice", "--password-stdin", "export"}, "Secret1\n");
    ASSERT_EQ(exported.code, 0) << exported.err;
    r = cli({"--user", "alice", "--password-stdin", "import", "-"}, "Secret1\n" + exported.out);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(cli({"--user", "alice", "--password-stdin", "export"}, "Secret1\n").out,
              exported.out);
}

TEST_F(EndToEnd, WithoutATerminalThePasswordMustBePiped) {
    ASSERT_EQ(cli({"--user", "alice", "--password-stdin", "init"}, "Secret1\n").code, 0);
    const ProcessResult r = cli({"--user", "alice", "verify"}, "Secret1\n");
    EXPECT_EQ(r.code, 3);
    EXPECT_NE(r.err.find("Cannot read the password from the terminal"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("--password-stdin"), std::string::npos);
}

TEST_F(EndToEnd, HelpUsageAndFailureExitCodes) {
    ProcessResult r = cli({"--help"}, "");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out.rfind("Usage: vorkel-cli", 0), 0u);
    EXPECT_EQ(cli({"show", "--help"}, "").code, 0);
    EXPECT_EQ(cli({}, "").code, 2);
    EXPECT_EQ(cli({"--user", "alice", "nonsense"}, "").code, 2);

    r = runBinary(
        scratch,
        {"--folder", folder.file("missing"), "--user", "alice", "--password-stdin", "init"},
        "Secret1\n");
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(
        r.err.rfind("Cannot create file \"" + folder.file("missing") + "/.Vorkel4.lock\".", 0), 0u)
        << r.err;
}

TEST_F(EndToEnd, DefaultFolderIsTheFolderOfTheProgramFileBehindLinks) {
    const std::string copy = folder.file("vorkel-cli");
    writeFile(copy, readFile(VORKEL_CLI_BINARY));
    ASSERT_EQ(::chmod(copy.c_str(), 0700), 0);
    // Started through a link elsewhere, the program still works beside its real file.
    const std::string link = scratch.file("link-to-cli");
    ASSERT_EQ(::symlink(copy.c_str(), link.c_str()), 0);

    const ProcessResult r =
        runProgram(link, scratch, {"--user", "alice", "--password-stdin", "init"}, "Secret1\n");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(fileExists(folder.file("Vorkel4.vfg")));
    EXPECT_TRUE(fileExists(folder.file("Vorkel4.xdb")));
    EXPECT_FALSE(fileExists(scratch.file("Vorkel4.vfg")));
}

namespace {

// A pseudo-terminal pair: the test holds the master end, the child makes the slave its
// controlling terminal.
class PseudoTerminal {
public:
    PseudoTerminal() {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) return;
        m_slaveName = ::ptsname(m_master);
        m_slave = ::open(m_slaveName.c_str(), O_RDWR | O_NOCTTY);
    }
    ~PseudoTerminal() {
        if (m_slave >= 0) ::close(m_slave);
        if (m_master >= 0) ::close(m_master);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool ok() const { return m_slave >= 0; }
    const std::string& slaveName() const { return m_slaveName; }
    bool echoOn() const {
        struct termios mode {};
        return ::tcgetattr(m_slave, &mode) == 0 && (mode.c_lflag & ECHO) != 0;
    }
    void type(const std::string& text) const {
        if (::write(m_master, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
            ADD_FAILURE() << "typing failed";
    }
    // Everything the terminal has shown so far.
    std::string screen() const {
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        std::string shown;
        char buffer[256];
        for (ssize_t n; (n = ::read(m_master, buffer, sizeof buffer)) > 0;)
            shown.append(buffer, static_cast<std::size_t>(n));
        return shown;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_slaveName;
};

}  // namespace

TEST_F(EndToEnd, TerminalPasswordIsReadWithoutEcho) {
    ASSERT_EQ(cli({"--user", "alice", "--password-stdin", "init"}, "Secret1\n").code, 0);
    PseudoTerminal tty;
    ASSERT_TRUE(tty.ok());
    ASSERT_TRUE(tty.echoOn());
    const std::string errPath = scratch.file("stderr");
    std::vector<std::string> argv = {VORKEL_CLI_BINARY, "--folder", folder.path(),
                                     "--user",          "alice",    "verify"};
    std::vector<char*> raw;
    for (auto& a : argv) raw.push_back(a.data());
    raw.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setsid();
        // A session leader opening a terminal makes it its controlling terminal.
        const int slave = ::open(tty.slaveName().c_str(), O_RDWR);
        const int none = ::open("/dev/null", O_RDWR);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (slave < 0 || none < 0 || err < 0) ::_exit(120);
        ::dup2(none, 0);
        ::dup2(none, 1);
        ::dup2(err, 2);
        ::execv(raw[0], raw.data());
        ::_exit(121);
    }
    ASSERT_GT(pid, 0);
    // Typed only once echo is off, as a person would type after the prompt.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (tty.echoOn() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_FALSE(tty.echoOn());
    tty.type("Secret1\n");
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << readFile(errPath);

    const std::string shown = tty.screen();
    EXPECT_EQ(shown.rfind("Password: ", 0), 0u) << shown;
    EXPECT_EQ(shown.find("Secret1"), std::string::npos) << shown;
    EXPECT_TRUE(tty.echoOn());  // put back after the read
}
