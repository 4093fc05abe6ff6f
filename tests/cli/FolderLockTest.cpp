// Two processes, one folder: the real vorkel-cli binary against the window's lock, against
// itself, and the leftovers of killed saves.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "core/storage/FolderLock.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

using namespace vorkel;
using vorkel::test::readFile;
using vorkel::test::writeFile;

namespace {

class FolderLockTest : public ::testing::Test {
protected:
    test::TempDir folder;
    test::TempDir scratch;

    // Starts vorkel-cli on the folder with the master password on standard input; returns its
    // pid. Its streams pass through files named after `tag` in the scratch folder.
    pid_t start(const std::vector<std::string>& args, const std::string& tag,
                const std::string& input = "Secret1\n") {
        const std::string in = scratch.file(tag + ".in");
        writeFile(in, input);
        std::vector<std::string> argv = {VORKEL_CLI_BINARY, "--folder", folder.path(),
                                         "--user",          "alice",    "--password-stdin"};
        argv.insert(argv.end(), args.begin(), args.end());
        return test::startProcess(argv, in, scratch.file(tag + ".out"), scratch.file(tag + ".err"));
    }
    int run(const std::vector<std::string>& args, const std::string& tag = "one",
            const std::string& input = "Secret1\n") {
        return test::exitStatusOf(start(args, tag, input));
    }
    std::string errOf(const std::string& tag = "one") {
        return readFile(scratch.file(tag + ".err"));
    }
    std::string outOf(const std::string& tag = "one") {
        return readFile(scratch.file(tag + ".out"));
    }
    std::size_t entryCount() {
        EXPECT_EQ(run({"list"}, "count"), 0) << errOf("count");
        const std::string out = outOf("count");
        return static_cast<std::size_t>(std::count(out.begin(), out.end(), '\n'));
    }
};

TEST_F(FolderLockTest, TwentyWritersAtOnceLoseNoEntry) {
    ASSERT_EQ(run({"init"}), 0) << errOf();
    std::vector<pid_t> writers;
    for (int i = 0; i < 20; ++i) {
        const std::string tag = "add" + std::to_string(i);
        writers.push_back(start({"add", "--title", "entry " + std::to_string(i)}, tag));
    }
    for (int i = 0; i < 20; ++i) {
        const std::string tag = "add" + std::to_string(i);
        EXPECT_EQ(test::exitStatusOf(writers[static_cast<std::size_t>(i)]), 0) << errOf(tag);
    }
    EXPECT_EQ(entryCount(), 24u);  // the four samples and all twenty
}

TEST_F(FolderLockTest, AWriterMeetingTheWindowRefusesAtOnceAndReadersGoOn) {
    ASSERT_EQ(run({"init"}), 0) << errOf();
    const std::string store = readFile(folder.file("Vorkel4.xdb"));
    {
        const FolderLock window =
            FolderLock::acquire(folder.path(), LockHolder::Window, std::chrono::seconds(0));
        const std::pair<std::vector<std::string>, std::string> writers[] = {
            {{"add", "--title", "x"}, "Secret1\n"},
            {{"passwd"}, "Secret1\nSecret2\n"},
            {{"import", "--force", "-"}, "Secret1\n[]"},
            {{"restore", folder.file("Vorkel4.xdb")}, "Secret1\n"},
        };
        for (const auto& [writer, input] : writers) {
            EXPECT_EQ(run(writer, "one", input), 3) << writer[0];
            EXPECT_NE(errOf().find("Vorkel is open on this data store in a window"),
                      std::string::npos)
                << errOf();
        }
        EXPECT_EQ(readFile(folder.file("Vorkel4.xdb")), store);
        EXPECT_EQ(entryCount(), 4u);  // reading needs no lock
    }
    EXPECT_EQ(run({"add", "--title", "after the window"}), 0) << errOf();
    EXPECT_EQ(entryCount(), 5u);
}

TEST_F(FolderLockTest, KilledSavesLeftoversGoUnderTheLockAndNothingElse) {
    ASSERT_EQ(run({"init"}), 0) << errOf();
    for (const char* name : {".vorkel-Ab12Cd", ".vorkel-Ab12Cd-old", ".vorkel-notes.txt"})
        writeFile(folder.file(name), "left over");
    ASSERT_EQ(run({"add", "--title", "x"}), 0) << errOf();
    EXPECT_FALSE(std::filesystem::exists(folder.file(".vorkel-Ab12Cd")));
    EXPECT_FALSE(std::filesystem::exists(folder.file(".vorkel-Ab12Cd-old")));
    EXPECT_TRUE(std::filesystem::exists(folder.file(".vorkel-notes.txt")));
}

// Between commands the lock is waited for, within a bound.
TEST(FolderLock, AnotherCommandIsWaitedForThenRefused) {
    test::TempDir folder;
    std::optional<FolderLock> first =
        FolderLock::acquire(folder.path(), LockHolder::Tool, std::chrono::seconds(0));
    try {
        (void)FolderLock::acquire(folder.path(), LockHolder::Tool, std::chrono::milliseconds(50));
        FAIL() << "taken twice";
    } catch (const FolderBusy& busy) {
        EXPECT_EQ(busy.holder(), LockHolder::Tool);
    }
    // Released while (or before) the second waits: it gets the lock within its patience.
    std::thread release([&] { first.reset(); });
    EXPECT_NO_THROW(
        (void)FolderLock::acquire(folder.path(), LockHolder::Tool, std::chrono::seconds(60)));
    release.join();
}

}  // namespace
