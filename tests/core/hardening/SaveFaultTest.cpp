// Every step of replacing a file fails in turn, through the file layer's call table, so the
// faults also bite when the tests run as root.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>

#include "core/Error.h"
#include "core/hardening/FolderSnapshot.h"
#include "core/session/Messages.h"
#include "core/session/Session.h"
#include "core/storage/FileCalls.h"
#include "support/ScriptedUi.h"
#include "support/SessionFixture.h"
#include "support/TempDir.h"

namespace vorkel {
namespace {

// Which call fails: the n-th call (1-based) of the chosen kind, with `err`. Plain globals,
// because the table holds plain function pointers.
struct Plan {
    int failAt = 0;
    int err = 0;
    int calls = 0;
    std::string onlyUnder;  // when set, calls on paths elsewhere are never counted
};
Plan g_plan;

bool due() {
    return ++g_plan.calls == g_plan.failAt;
}

bool pathCounts(const char* path) {
    return g_plan.onlyUnder.empty() || std::string_view(path).starts_with(g_plan.onlyUnder);
}

// Real disks take big writes in pieces; small pieces give every save many writes to fail.
constexpr std::size_t kPiece = 4096;

ssize_t pieceWrite(int fd, const void* data, std::size_t size) {
    return ::write(fd, data, std::min(size, kPiece));
}
ssize_t failingWrite(int fd, const void* data, std::size_t size) {
    if (due()) {
        errno = g_plan.err;
        return -1;
    }
    return pieceWrite(fd, data, size);
}
int failingCreate(char* pathTemplate, int flags) {
    if (pathCounts(pathTemplate) && due()) {
        errno = g_plan.err;
        return -1;
    }
    return ::mkostemp(pathTemplate, flags);
}
int failingFsync(int fd) {
    if (due()) {
        errno = g_plan.err;
        return -1;
    }
    return ::fsync(fd);
}
int failingClose(int fd) {
    ::close(fd);  // the descriptor is gone either way, as on Linux
    if (due()) {
        errno = g_plan.err;
        return -1;
    }
    return 0;
}
int failingRename(const char* from, const char* to) {
    if (pathCounts(to) && due()) {
        errno = g_plan.err;
        return -1;
    }
    return ::rename(from, to);
}
int failingLink(const char* from, const char* to) {
    if (due()) {
        errno = g_plan.err;
        return -1;
    }
    return ::link(from, to);
}
int failingOpenFolder(const char* path, int flags) {
    if (due()) {
        errno = g_plan.err;
        return -1;
    }
    return realFileCalls().openFolder(path, flags);
}

// Installs a plan for one test and puts the real calls back afterwards.
class InjectedFaults {
public:
    InjectedFaults() {
        g_plan = Plan{};
        fileCalls().write = pieceWrite;
    }
    ~InjectedFaults() {
        fileCalls() = realFileCalls();
        g_plan = Plan{};
    }
    InjectedFaults(const InjectedFaults&) = delete;
    InjectedFaults& operator=(const InjectedFaults&) = delete;

    void fail(void (*install)(FileCalls&), int failAt, int err) {
        fileCalls() = realFileCalls();
        fileCalls().write = pieceWrite;
        install(fileCalls());
        g_plan = Plan{failAt, err, 0, g_plan.onlyUnder};
    }
};

struct FaultPoint {
    const char* name;
    void (*install)(FileCalls&);
    int failAt;
    int err;
};

const FaultPoint kFaultPoints[] = {
    {"create the temporary file", [](FileCalls& c) { c.createTemporary = failingCreate; }, 1,
     EROFS},
    {"first write", [](FileCalls& c) { c.write = failingWrite; }, 1, EIO},
    {"fsync of the file", [](FileCalls& c) { c.fsync = failingFsync; }, 1, EIO},
    {"close of the file", [](FileCalls& c) { c.close = failingClose; }, 1, EIO},
    {"rename over the old file", [](FileCalls& c) { c.rename = failingRename; }, 1, EXDEV},
    {"open of the folder", [](FileCalls& c) { c.openFolder = failingOpenFolder; }, 1, EACCES},
    {"fsync of the folder", [](FileCalls& c) { c.fsync = failingFsync; }, 2, EIO},
};

class SaveFault : public test::SessionFixture {
protected:
    std::unique_ptr<Session> loggedOn() { return sessionFor("alice", "Secret1"); }
    // An account with both files on disk and an unsaved entry in memory.
    std::unique_ptr<Session> accountWithChanges() {
        auto s = loggedOn();
        s->LoadWorkspace();
        s->SaveAll();
        for (int i = 0; i < 200; ++i) s->AddEntry("entry " + std::to_string(i));
        s->settings().passTypes.push_back("new type");
        return s;
    }
    static std::string createError(const std::string& path, int err) {
        return "Cannot create file \"" + path + "\". " + std::strerror(err);
    }
    static std::string errorOf(const std::function<void()>& save) {
        try {
            save();
        } catch (const Error& e) {
            return e.what();
        }
        return "no error";
    }
    // Both saves the program makes, each with the file it replaces.
    std::vector<std::pair<std::string, std::function<void()>>> saves(Session& s) {
        return {{s.dataStorePath(), [&s] { s.SaveDataStore(s.dataStorePath()); }},
                {s.settingsPath(), [&s] { s.SaveSettings(); }}};
    }
};

TEST_F(SaveFault, EveryStepFailingKeepsTheOldFileAndLeavesNothingBehind) {
    auto s = accountWithChanges();
    InjectedFaults faults;
    for (const auto& [path, save] : saves(*s)) {
        for (const FaultPoint& point : kFaultPoints) {
            SCOPED_TRACE(path + ": " + point.name);
            const auto before = test::snapshot(dir.path());
            faults.fail(point.install, point.failAt, point.err);
            EXPECT_EQ(errorOf(save), createError(path, point.err));
            EXPECT_EQ(g_plan.calls, point.failAt) << "the fault was never reached";
            EXPECT_EQ(test::snapshot(dir.path()), before);
        }
    }
    // With the real calls back the same session saves, and the next logon reads it.
    fileCalls() = realFileCalls();
    s->SaveAll();
    auto again = loggedOn();
    again->LoadForTool();
    EXPECT_EQ(again->workspace().master().size(), 204u);
    EXPECT_EQ(again->settings().passTypes.back(), "new type");
}

TEST_F(SaveFault, FullDiskAtEveryWriteKeepsTheOldFile) {
    auto s = accountWithChanges();
    InjectedFaults faults;
    for (const auto& [path, save] : saves(*s)) {
        // Count the writes of one whole save; its file is then the old file the failing saves
        // must keep.
        faults.fail([](FileCalls& c) { c.write = failingWrite; }, 0, 0);
        save();
        const int writes = g_plan.calls;
        ASSERT_GT(writes, path == s->dataStorePath() ? 10 : 0);
        std::printf("%s: ENOSPC at each of %d writes\n", path.c_str(), writes);
        const auto before = test::snapshot(dir.path());
        for (int k = 1; k <= writes; ++k) {
            SCOPED_TRACE(path + ": write " + std::to_string(k) + " of " + std::to_string(writes));
            faults.fail([](FileCalls& c) { c.write = failingWrite; }, k, ENOSPC);
            EXPECT_EQ(errorOf(save), createError(path, ENOSPC));
            EXPECT_EQ(test::snapshot(dir.path()), before);
        }
    }
}

// Without hard links (FAT) a failed folder sync cannot put the old file back: the new file is
// whole, the failure is still reported, and nothing else is left in the folder.
TEST_F(SaveFault, FolderSyncFailureWithoutHardLinksKeepsTheNewFileWhole) {
    auto s = accountWithChanges();
    InjectedFaults faults;
    const auto names = [&] {
        std::set<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(dir.path()))
            out.insert(e.path().filename().string());
        return out;
    };
    const auto before = names();
    faults.fail(
        [](FileCalls& c) {
            c.link = [](const char*, const char*) {
                errno = EPERM;
                return -1;
            };
            c.fsync = failingFsync;
        },
        2, EIO);
    EXPECT_EQ(errorOf([&] { s->SaveDataStore(s->dataStorePath()); }),
              createError(s->dataStorePath(), EIO));
    EXPECT_EQ(names(), before);
    fileCalls() = realFileCalls();
    auto again = loggedOn();
    again->LoadForTool();
    EXPECT_EQ(again->workspace().master().size(), 204u);
}

// The store's folder goes away while the program runs (a stick pulled out): Save All says so,
// and closing offers the backup, which writes elsewhere and opens under the same pair.
TEST_F(SaveFault, RemovedDeviceReportsAndTheBackupWritesElsewhere) {
    test::TempDir stick;
    test::TempDir elsewhere;
    auto s = std::make_unique<Session>(stick.file("vorkel"), random, clock);
    s->SetLogon("alice", "Secret1");
    s->LoadWorkspace();
    s->SaveAll();
    s->AddEntry("written after the stick went");
    std::filesystem::remove_all(stick.path());

    EXPECT_EQ(errorOf([&] { s->SaveAll(); }), createError(s->dataStorePath(), ENOENT));
    test::ScriptedUi ui;
    ui.answers = {true};
    ui.files = {elsewhere.file("rescue.xdb")};
    s->CloseSequence(ui);
    EXPECT_EQ(ui.asked, std::vector<std::string>{std::string(msg::kStorageProblem)});
    EXPECT_FALSE(std::filesystem::exists(stick.path()));

    auto check = std::make_unique<Session>(elsewhere.file("vorkel"), random, clock);
    check->SetLogon("alice", "Secret1");
    check->RestoreFrom(elsewhere.file("rescue.xdb"));
    EXPECT_EQ(check->workspace().master().size(), 5u);
    EXPECT_EQ(check->workspace().master().entries().back()->title(),
              "written after the stick went");
}

// A device that fails every write under the program folder (read-only remount): the close
// offers the backup, and the backup to another device works.
TEST_F(SaveFault, FailingDeviceAtCloseStillBacksUpElsewhere) {
    test::TempDir elsewhere;
    auto s = accountWithChanges();
    const auto before = test::snapshot(dir.path());
    InjectedFaults faults;
    // Every create under the program folder fails, not just the first.
    fileCalls().createTemporary = [](char* pathTemplate, int flags) {
        if (pathCounts(pathTemplate)) {
            errno = EROFS;
            return -1;
        }
        return ::mkostemp(pathTemplate, flags);
    };
    g_plan.onlyUnder = dir.path();
    test::ScriptedUi ui;
    ui.answers = {true};
    ui.files = {elsewhere.file("rescue.xdb")};
    s->CloseSequence(ui);
    EXPECT_EQ(ui.asked, std::vector<std::string>{std::string(msg::kStorageProblem)});
    EXPECT_EQ(test::snapshot(dir.path()), before);
    fileCalls() = realFileCalls();
    auto check = loggedOn();
    check->RestoreFrom(elsewhere.file("rescue.xdb"));
    EXPECT_EQ(check->workspace().master().size(), 204u);
}

// A master password change re-keys both files in one commit. Each call of every kind fails in
// turn; afterwards the old or the new password opens both files with every entry, whatever
// step failed, and the logon settles what the failure left.
TEST_F(SaveFault, AFailedPasswordChangeAlwaysLeavesOnePasswordThatOpensEverything) {
    const std::pair<const char*, void (*)(FileCalls&)> kinds[] = {
        {"create", [](FileCalls& c) { c.createTemporary = failingCreate; }},
        {"write", [](FileCalls& c) { c.write = failingWrite; }},
        {"fsync", [](FileCalls& c) { c.fsync = failingFsync; }},
        {"close", [](FileCalls& c) { c.close = failingClose; }},
        {"link", [](FileCalls& c) { c.link = failingLink; }},
        {"rename", [](FileCalls& c) { c.rename = failingRename; }},
        {"open folder", [](FileCalls& c) { c.openFolder = failingOpenFolder; }},
    };
    int cases = 0;
    int newInForce = 0;
    std::string perKind;
    for (const auto& [kind, install] : kinds) {
        // How many calls of this kind one whole change makes.
        int calls = 0;
        {
            std::filesystem::remove_all(dir.path());
            std::filesystem::create_directory(dir.path());
            auto s = accountWithChanges();
            InjectedFaults faults;
            faults.fail(install, 0, 0);
            s->ChangeMasterPassword("Secret2");
            calls = g_plan.calls;
        }
        ASSERT_GT(calls, 0) << kind;
        perKind += std::string(perKind.empty() ? "" : ", ") + kind + " " + std::to_string(calls);
        for (int k = 1; k <= calls; ++k) {
            SCOPED_TRACE(std::string(kind) + " call " + std::to_string(k) + " of " +
                         std::to_string(calls));
            std::filesystem::remove_all(dir.path());
            std::filesystem::create_directory(dir.path());
            auto s = accountWithChanges();
            const bool noHardLinks = std::string(kind) == "link";
            {
                InjectedFaults faults;
                faults.fail(install, k, noHardLinks ? EPERM : EIO);
                if (noHardLinks) {
                    // Only the previous pair cannot be kept (a FAT stick): the change goes on.
                    EXPECT_NO_THROW(s->ChangeMasterPassword("Secret2"));
                } else {
                    EXPECT_THROW(s->ChangeMasterPassword("Secret2"), Error);
                }
            }
            // A failed change leaves the previous password current in memory.
            EXPECT_TRUE(s->isCurrentMasterPassword(noHardLinks ? "Secret2" : "Secret1"));
            bool opened = false;
            for (const char* password : {"Secret1", "Secret2"}) {
                auto check = sessionFor("alice", password);
                try {
                    if (!check->CheckLogon().accepted) continue;
                } catch (const Error& e) {
                    ADD_FAILURE() << password << ": " << e.what();
                    continue;
                }
                check->LoadForTool();
                // The old pair holds the last save (the samples), the new one the whole change.
                const bool isNew = std::string(password) == "Secret2";
                EXPECT_EQ(check->workspace().master().size(), isNew ? 204u : 4u) << password;
                opened = true;
                if (isNew) ++newInForce;
                break;
            }
            EXPECT_TRUE(opened) << "neither password opens the files";
            ++cases;
        }
    }
    std::printf("%d failed password changes (%s), %d left the new password in force\n", cases,
                perKind.c_str(), newInForce);
}

}  // namespace
}  // namespace vorkel
