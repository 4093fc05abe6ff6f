#pragma once

#include <chrono>
#include <string>

#include "core/Error.h"
#include "core/storage/FileHandle.h"

namespace vorkel {

/// Who holds a folder's lock: the desktop program (from logon to exit) or one command of the
/// command-line tool (for its whole load-change-save).
enum class LockHolder { Window, Tool };

/// The lock is held by someone else; what() says who and what to do.
class FolderBusy : public Error {
public:
    FolderBusy(LockHolder holder, const std::string& text) : Error(text), m_holder(holder) {}
    LockHolder holder() const { return m_holder; }

private:
    LockHolder m_holder;
};

/// One writer per folder: an exclusive advisory lock (flock) on the hidden lock file
/// ".Vorkel4.lock" beside the data store. The holder writes who it is into the file, so that a
/// contender can tell the open window (refuse at once) from another command (wait a little).
/// The lock goes with the process, so a killed holder never leaves the folder locked.
class FolderLock {
public:
    /// Takes the lock of `folder` (with or without a trailing separator). While another command
    /// holds it, tries again until `patience` has passed; the window's lock is never waited
    /// for. Throws FolderBusy when it stays taken, Error when the lock file cannot be made.
    static FolderLock acquire(const std::string& folder, LockHolder me,
                              std::chrono::milliseconds patience);

    FolderLock(FolderLock&&) noexcept = default;
    FolderLock& operator=(FolderLock&&) noexcept = default;
    ~FolderLock();

    /// The lock file's path.
    const std::string& path() const { return m_path; }

private:
    FolderLock(std::string path, FileHandle file)
        : m_path(std::move(path)), m_file(std::move(file)) {}

    std::string m_path;
    FileHandle m_file;
};

/// The lock file of `folder`.
std::string folderLockPath(const std::string& folder);

}  // namespace vorkel
