// A child saves a real store of 10,000 entries and the settings file in a loop and is killed
// with SIGKILL at random moments; after every kill both files must open under the pair and hold
// the last finished save or the one in progress, whole.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "core/entries/Clock.h"
#include "core/hardening/crash/CrashPassword.h"
#include "core/session/Session.h"
#include "core/storage/AtomicFile.h"
#include "core/storage/RandomSource.h"
#include "support/TempDir.h"

namespace vorkel {
namespace {

constexpr int kKills = 200;
constexpr std::size_t kEntries = 10000;

// One run of the child: started, killed after `delay`, its reported generations collected.
class Child {
public:
    Child(const std::string& folder, long firstGeneration, const char* mode = nullptr) {
        int fds[2];
        if (::pipe(fds) != 0) throw std::runtime_error("pipe");
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(fds[1], STDOUT_FILENO);
            ::close(fds[0]);
            ::close(fds[1]);
            const std::string first = std::to_string(firstGeneration);
            ::execl(CRASH_WRITER, CRASH_WRITER, folder.c_str(), first.c_str(), mode,
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        m_out = fds[0];
    }
    ~Child() {
        if (m_pid > 0) killNow();
        ::close(m_out);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // Reads lines until `line` arrives; false when the child ended or went quiet first.
    bool waitFor(const std::string& line) {
        for (;;) {
            for (std::size_t nl; (nl = m_pending.find('\n')) != std::string::npos;) {
                const std::string got = m_pending.substr(0, nl);
                m_pending.erase(0, nl + 1);
                note(got);
                if (got == line) return true;
            }
            pollfd p{m_out, POLLIN, 0};
            if (::poll(&p, 1, 60000) <= 0) return false;
            char buf[256];
            const ssize_t n = ::read(m_out, buf, sizeof buf);
            if (n <= 0) return false;
            m_pending.append(buf, static_cast<std::size_t>(n));
        }
    }

    // SIGKILL, then everything the child reported before it died.
    void killNow() {
        ::kill(m_pid, SIGKILL);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        waitFor("");  // drains to the end of the pipe
    }

    std::optional<long> lastFinished() const { return m_last; }

private:
    void note(const std::string& line) {
        if (!line.empty() && line != "ready") m_last = std::stol(line);
    }
    pid_t m_pid = -1;
    int m_out = -1;
    std::string m_pending;
    std::optional<long> m_last;
};

struct OnDisk {
    std::optional<long> store;
    std::optional<long> settings;
    std::string password;  // the one that opened them
};

// Logs on as the program does (an interrupted save settled by the pair that opens it) with the
// first of `passwords` that opens the files, and returns their generations; fails the test when
// none opens them or either is not a whole save.
OnDisk readBack(const std::string& folder,
                const std::vector<std::string>& passwords = {"test pair"}) {
    SystemRandom random;
    SystemClock clock;
    Session s(folder + "/vorkel", random, clock);
    OnDisk disk;
    if (!s.settingsFileExists()) {
        EXPECT_FALSE(std::filesystem::exists(s.dataStorePath())) << "store without settings";
        return disk;
    }
    bool opened = false;
    for (const std::string& password : passwords) {
        s.SetLogon("crash", password);
        if ((opened = s.CheckLogon().accepted)) {
            disk.password = password;
            break;
        }
    }
    EXPECT_TRUE(opened) << "no password opens the files";
    if (!opened) return disk;
    s.LoadForTool();
    disk.settings = s.settings().window.left;
    const auto& list = s.workspace().master();
    EXPECT_EQ(list.size(), kEntries);
    if (list.size() != kEntries) return disk;
    const std::string first(list.at(0)->title());
    EXPECT_EQ(first, list.at(kEntries - 1)->title());
    for (std::size_t i = 1; i + 1 < kEntries; ++i)
        if (list.at(i)->title() != "entry " + std::to_string(i)) {
            ADD_FAILURE() << "entry " << i << " reads \"" << list.at(i)->title() << "\"";
            break;
        }
    EXPECT_TRUE(first.starts_with("generation ")) << first;
    disk.store = std::stol(first.substr(11));
    return disk;
}

// Hidden files a killed save leaves beside the store (its temporary file, or the second name
// of the previous file); counted and removed, as a user would after a crash.
int removeLeftovers(const std::string& folder) {
    int found = 0;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        const std::string name = e.path().filename().string();
        if (name.starts_with(".vorkel-")) {
            std::filesystem::remove(e.path());
            ++found;
        } else {
            // The logon settled any interrupted commit: nothing staged or kept is left.
            EXPECT_TRUE(name == "Vorkel4.xdb" || name == "Vorkel4.vfg") << name;
        }
    }
    return found;
}

// The generation a file may hold after a kill: the last save the child finished, or the one it
// was in; before its first finished save, what the file held before this run, or the first.
void expectOneOf(const std::optional<long>& found, const std::optional<long>& finished,
                 const std::optional<long>& before, long first, const char* file) {
    if (finished) {
        EXPECT_TRUE(found && (*found == *finished || *found == *finished + 1))
            << file << " holds " << (found ? std::to_string(*found) : "nothing")
            << " after the child finished " << *finished;
    } else {
        EXPECT_TRUE(found == before || found == first)
            << file << " holds " << (found ? std::to_string(*found) : "nothing")
            << " before the child finished a save";
    }
}

TEST(CrashConsistency, KilledSavesLeaveThePreviousOrTheNewFilesWhole) {
    test::TempDir dir;
    const std::string folder = dir.path().substr(0, dir.path().size() - 1);

    // A first run, uninterrupted for a few saves, gives the time one save takes.
    long next = 0;
    std::chrono::microseconds saveTime{};
    {
        Child child(folder, next);
        ASSERT_TRUE(child.waitFor("ready"));
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(child.waitFor("3"));
        saveTime = std::chrono::duration_cast<std::chrono::microseconds>(
                       std::chrono::steady_clock::now() - start) /
                   4;
    }
    OnDisk disk = readBack(folder);
    ASSERT_TRUE(disk.store && disk.settings);
    removeLeftovers(folder);

    std::mt19937 rng(20101225);
    std::uniform_int_distribution<long> delay(0, 2 * saveTime.count());
    int midSave = 0;
    int leftovers = 0;
    int storeAhead = 0;
    for (int kill = 0; kill < kKills && !::testing::Test::HasFailure(); ++kill) {
        next = std::max(*disk.store, *disk.settings) + 1;
        Child child(folder, next);
        ASSERT_TRUE(child.waitFor("ready"));
        std::this_thread::sleep_for(std::chrono::microseconds(delay(rng)));
        child.killNow();

        SCOPED_TRACE("kill " + std::to_string(kill));
        const OnDisk now = readBack(folder);
        expectOneOf(now.store, child.lastFinished(), disk.store, next, "the store");
        expectOneOf(now.settings, child.lastFinished(), disk.settings, next, "the settings");
        if (now.store != now.settings) ++storeAhead;
        if (now.store && now.store != child.lastFinished().value_or(*disk.store)) ++midSave;
        leftovers += removeLeftovers(folder);
        disk = now;
    }
    std::printf(
        "save %lld us; %d kills: %d after the store was replaced but before the report, "
        "%d between the two files, %d leftover hidden files removed\n",
        static_cast<long long>(saveTime.count()), kKills, midSave, storeAhead, leftovers);
}

// Every save changes the master password: after any kill, the password of the last finished save
// or of the one in progress opens both files with every entry, and the logon says which.
TEST(CrashConsistency, KilledPasswordChangesLeaveOnePasswordThatOpensEverything) {
    test::TempDir dir;
    const std::string folder = dir.path().substr(0, dir.path().size() - 1);
    long next = 1;
    std::chrono::microseconds saveTime{};
    {
        Child child(folder, next, "passwd");
        ASSERT_TRUE(child.waitFor("ready"));
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(child.waitFor("4"));
        saveTime = std::chrono::duration_cast<std::chrono::microseconds>(
                       std::chrono::steady_clock::now() - start) /
                   4;
    }
    OnDisk disk = readBack(folder, {test::crashPassword(4), test::crashPassword(5)});
    ASSERT_TRUE(disk.store && disk.settings);
    removeLeftovers(folder);

    std::mt19937 rng(20261209);
    std::uniform_int_distribution<long> delay(0, 2 * saveTime.count());
    int newPassword = 0;
    int interrupted = 0;
    for (int kill = 0; kill < kKills && !::testing::Test::HasFailure(); ++kill) {
        const long current = *disk.store;
        next = current + 1;
        // The child starts from the password that opens the files now.
        Child child(folder, next, "passwd");
        ASSERT_TRUE(child.waitFor("ready"));
        std::this_thread::sleep_for(std::chrono::microseconds(delay(rng)));
        child.killNow();

        SCOPED_TRACE("kill " + std::to_string(kill));
        const long finished = child.lastFinished().value_or(current);
        if (filePairState(folder + "/Vorkel4.xdb", folder + "/Vorkel4.vfg") !=
            FilePairState::Settled)
            ++interrupted;
        const OnDisk now =
            readBack(folder, {test::crashPassword(finished + 1), test::crashPassword(finished)});
        ASSERT_TRUE(now.store && now.settings);
        EXPECT_EQ(now.store, now.settings) << "the two files belong to different saves";
        EXPECT_TRUE(*now.store == finished || *now.store == finished + 1) << *now.store;
        EXPECT_EQ(now.password, test::crashPassword(*now.store));
        if (*now.store != current) ++newPassword;
        removeLeftovers(folder);
        disk = now;
    }
    std::printf(
        "password change %lld us; %d kills: %d inside the commit (settled at logon), %d left "
        "a newer password in force\n",
        static_cast<long long>(saveTime.count()), kKills, interrupted, newPassword);
}

}  // namespace
}  // namespace vorkel
