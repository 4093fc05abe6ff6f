#include "core/storage/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include "core/Error.h"
#include "support/TempDir.h"

namespace vorkel {
namespace {

using test::TempDir;

std::span<const std::uint8_t> bytesOf(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

unsigned modeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

std::string errorOf(const std::string& path,
                    std::initializer_list<std::span<const std::uint8_t>> parts) {
    try {
        writeFileAtomically(path, parts);
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

std::string createError(const std::string& path, int err) {
    return "Cannot create file \"" + path + "\". " + std::strerror(err);
}

TEST(AtomicFile, WritesThePartsInOrder) {
    TempDir dir;
    const std::string a = "salt1234";
    const std::string b;
    const std::string c = "cipher";
    writeFileAtomically(dir.file("f"), {bytesOf(a), bytesOf(b), bytesOf(c)});
    EXPECT_EQ(test::readFile(dir.file("f")), "salt1234cipher");
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"f"});
}

TEST(AtomicFile, NewFileIsOwnerOnlyWhateverTheUmask) {
    TempDir dir;
    const mode_t old = ::umask(0);
    writeFileAtomically(dir.file("f"), {bytesOf("x")});
    ::umask(old);
    EXPECT_EQ(modeOf(dir.file("f")), 0600u);
}

TEST(AtomicFile, ReplacedFileBecomesOwnerOnly) {
    TempDir dir;
    test::writeFile(dir.file("f"), "old content that is longer");
    ::chmod(dir.file("f").c_str(), 0644);
    writeFileAtomically(dir.file("f"), {bytesOf("new")});
    EXPECT_EQ(test::readFile(dir.file("f")), "new");
    EXPECT_EQ(modeOf(dir.file("f")), 0600u);
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"f"});
}

TEST(AtomicFile, MissingFolderSaysWhy) {
    TempDir dir;
    const std::string path = dir.file("no-such-folder/Vorkel4.xdb");
    EXPECT_EQ(errorOf(path, {bytesOf("x")}), createError(path, ENOENT));
    EXPECT_TRUE(namesIn(dir.path()).empty());
}

TEST(AtomicFile, FolderInTheWayIsLeftAlone) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("Vorkel4.xdb"));
    test::writeFile(dir.file("Vorkel4.xdb/inside"), "keep");
    EXPECT_EQ(errorOf(dir.file("Vorkel4.xdb"), {bytesOf("x")}),
              createError(dir.file("Vorkel4.xdb"), EISDIR));
    EXPECT_EQ(test::readFile(dir.file("Vorkel4.xdb/inside")), "keep");
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"Vorkel4.xdb"});
}

TEST(AtomicFile, FileUsedAsFolderSaysWhy) {
    TempDir dir;
    test::writeFile(dir.file("plain"), "x");
    const std::string path = dir.file("plain/f");
    EXPECT_EQ(errorOf(path, {bytesOf("x")}), createError(path, ENOTDIR));
}

// A write that fails half way (here: the file size limit) must leave the old file whole and
// no temporary file behind.
TEST(AtomicFile, FailedWriteKeepsTheOldFile) {
    TempDir dir;
    const std::string path = dir.file("Vorkel4.xdb");
    test::writeFile(path, "the previous store");
    const std::string big(64 * 1024, 'x');

    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 4096;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string error = errorOf(path, {bytesOf(big)});
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(error, createError(path, EFBIG));
    EXPECT_EQ(test::readFile(path), "the previous store");
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"Vorkel4.xdb"});
}

TEST(AtomicFile, LinkIsWrittenThroughAndStaysALink) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("data"));
    test::writeFile(dir.file("data/real.xdb"), "old");
    std::filesystem::create_symlink("data/real.xdb", dir.file("link.xdb"));
    std::filesystem::create_symlink(dir.file("link.xdb"), dir.file("link2.xdb"));

    writeFileAtomically(dir.file("link2.xdb"), {bytesOf("new")});
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.xdb")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link2.xdb")));
    EXPECT_EQ(test::readFile(dir.file("data/real.xdb")), "new");
    EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"data", "link.xdb", "link2.xdb"}));
    EXPECT_EQ(namesIn(dir.file("data")), std::set<std::string>{"real.xdb"});
}

TEST(AtomicFile, DanglingLinkCreatesItsTarget) {
    TempDir dir;
    std::filesystem::create_symlink("target.xdb", dir.file("link.xdb"));
    writeFileAtomically(dir.file("link.xdb"), {bytesOf("made")});
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.xdb")));
    EXPECT_EQ(test::readFile(dir.file("target.xdb")), "made");
}

TEST(AtomicFile, LinkLoopSaysWhy) {
    TempDir dir;
    std::filesystem::create_symlink("b", dir.file("a"));
    std::filesystem::create_symlink("a", dir.file("b"));
    EXPECT_EQ(errorOf(dir.file("a"), {bytesOf("x")}), createError(dir.file("a"), ELOOP));
    EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"a", "b"}));
}

TEST(AtomicFile, RelativePathUsesTheCurrentFolder) {
    TempDir dir;
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    writeFileAtomically("here.xdb", {bytesOf("x")});
    std::filesystem::current_path(old);
    EXPECT_EQ(test::readFile(dir.file("here.xdb")), "x");
}

TEST(AtomicFile, FileExistsSeesFilesFoldersAndLinks) {
    TempDir dir;
    test::writeFile(dir.file("f"), "");
    std::filesystem::create_symlink("nowhere", dir.file("dangling"));
    EXPECT_TRUE(fileExists(dir.file("f")));
    EXPECT_TRUE(fileExists(dir.path()));
    EXPECT_TRUE(fileExists(dir.file("dangling")));
    EXPECT_FALSE(fileExists(dir.file("none")));
}

TEST(AtomicFile, RemoveFile) {
    TempDir dir;
    test::writeFile(dir.file("f"), "x");
    removeFile(dir.file("f"));
    EXPECT_FALSE(fileExists(dir.file("f")));
    EXPECT_NO_THROW(removeFile(dir.file("f")));
    std::filesystem::create_directory(dir.file("sub"));
    try {
        removeFile(dir.file("sub"));
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot delete file \"" + dir.file("sub") + "\". " + std::strerror(EISDIR));
    }
    EXPECT_TRUE(fileExists(dir.file("sub")));
}

}  // namespace
}  // namespace vorkel
