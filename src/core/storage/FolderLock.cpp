#include "core/storage/FolderLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace vorkel {
namespace {

constexpr std::string_view kWindowMark = "window";
constexpr std::string_view kToolMark = "tool";

std::string readMark(int fd) {
    char buffer[64] = {};
    const ssize_t n = ::pread(fd, buffer, sizeof buffer - 1, 0);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

void writeMark(int fd, LockHolder me) {
    const std::string mark = std::string(me == LockHolder::Window ? kWindowMark : kToolMark) + " " +
                             std::to_string(::getpid()) + "\n";
    // Only a hint for contenders: a failure to write it costs nothing but their patience.
    if (::ftruncate(fd, 0) == 0) (void)!::pwrite(fd, mark.data(), mark.size(), 0);
}

}  // namespace

std::string folderLockPath(const std::string& folder) {
    std::string path = folder;
    if (path.empty() || path.back() != '/') path += '/';
    return path + ".Vorkel4.lock";
}

FolderLock FolderLock::acquire(const std::string& folder, LockHolder me,
                               std::chrono::milliseconds patience) {
    const std::string path = folderLockPath(folder);
    FileHandle file(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!file) throw Error(fileErrorText("Cannot create file", path, errno));
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        if (::flock(file.get(), LOCK_EX | LOCK_NB) == 0) break;
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK) throw Error(fileErrorText("Cannot lock file", path, errno));
        if (readMark(file.get()).starts_with(kWindowMark))
            throw FolderBusy(LockHolder::Window,
                             "Vorkel is open on this data store in a window. Close Vorkel there "
                             "first; commands that only read the data store work meanwhile.");
        if (std::chrono::steady_clock::now() >= deadline)
            throw FolderBusy(LockHolder::Tool,
                             "Another vorkel-cli command is still working on this data store. "
                             "Try again when it has finished.");
        // flock has no timed wait; a short nap keeps the bound without a busy loop.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    writeMark(file.get(), me);
    return FolderLock(path, std::move(file));
}

FolderLock::~FolderLock() {
    // The mark goes first, so nobody takes a released lock for the window's.
    if (m_file) (void)!::ftruncate(m_file.get(), 0);
}

}  // namespace vorkel
