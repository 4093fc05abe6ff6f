#include "core/storage/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "core/Error.h"
#include "core/storage/FileCalls.h"
#include "core/storage/FileHandle.h"

namespace vorkel {
namespace {

// Thrown inside this file with the errno of the step that failed; turned into the user's text
// once, at the top.
struct SystemFailure {
    int err;
};

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Follows symbolic links to the file they finally name, so that replacing it keeps the link a
// link. A dangling link gives the path it points at, which is then created.
std::string finalTarget(const std::string& path) {
    std::string target = path;
    for (int hops = 0;; ++hops) {
        struct stat st {};
        // Anything that is not a readable link is left for the create step to judge.
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return target;
        if (hops == 40) throw SystemFailure{ELOOP};
        std::string link(PATH_MAX, '\0');
        const ssize_t length = ::readlink(target.c_str(), link.data(), link.size());
        if (length < 0) throw SystemFailure{errno};
        if (static_cast<std::size_t>(length) == link.size()) throw SystemFailure{ENAMETOOLONG};
        link.resize(static_cast<std::size_t>(length));
        target = !link.empty() && link.front() == '/' ? link : folderOf(target) + "/" + link;
    }
}

// An owner-only temporary file beside the target, removed unless it was renamed into place.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& folder) : m_path(folder + "/.vorkel-XXXXXX") {
        // mkostemp opens with O_CREAT | O_EXCL and mode 0600.
        m_fd = fileCalls().createTemporary(m_path.data(), O_CLOEXEC);
        if (m_fd < 0) throw SystemFailure{errno};
    }
    ~TemporaryFile() {
        if (m_fd >= 0) fileCalls().close(m_fd);
        if (!m_renamed) ::unlink(m_path.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& path() const { return m_path; }

    void write(std::span<const std::uint8_t> bytes) {
        const std::uint8_t* at = bytes.data();
        std::size_t left = bytes.size();
        while (left > 0) {
            const ssize_t written = fileCalls().write(m_fd, at, left);
            if (written < 0) {
                if (errno == EINTR) continue;
                throw SystemFailure{errno};
            }
            // A device that takes nothing and reports no error would loop for ever.
            if (written == 0) throw SystemFailure{ENOSPC};
            at += written;
            left -= static_cast<std::size_t>(written);
        }
    }

    // Everything on the device and the descriptor closed: a failed close can report a lost
    // write on network file systems.
    void finish() {
        if (fileCalls().fsync(m_fd) != 0) throw SystemFailure{errno};
        const int fd = m_fd;
        m_fd = -1;
        if (fileCalls().close(fd) != 0) throw SystemFailure{errno};
    }

    void renameTo(const std::string& target) {
        if (fileCalls().rename(m_path.c_str(), target.c_str()) != 0) throw SystemFailure{errno};
        m_renamed = true;
    }

private:
    std::string m_path;
    int m_fd = -1;
    bool m_renamed = false;
};

// A second name for the file about to be replaced, so that a replacement the folder could not
// record durably can be taken back and the previous file stays what the user finds. Where the
// file system has no hard links (FAT sticks) there is nothing to take back with, and a failed
// folder sync leaves the new, whole file in place; it is still reported.
class PreviousFile {
public:
    PreviousFile(const std::string& target, const std::string& spareName)
        : m_path(spareName + "-old") {
        m_kept = fileCalls().link(target.c_str(), m_path.c_str()) == 0;
    }
    ~PreviousFile() {
        if (m_kept) ::unlink(m_path.c_str());
    }
    PreviousFile(const PreviousFile&) = delete;
    PreviousFile& operator=(const PreviousFile&) = delete;

    void restore(const std::string& target) {
        if (m_kept && ::rename(m_path.c_str(), target.c_str()) == 0) m_kept = false;
    }

private:
    std::string m_path;
    bool m_kept = false;
};

void syncFolder(const std::string& folder) {
    FileHandle dir(fileCalls().openFolder(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir) throw SystemFailure{errno};
    // Some file systems cannot sync a folder at all; the rename is then as durable as they get.
    if (fileCalls().fsync(dir.get()) != 0 && errno != EINVAL && errno != ENOTSUP)
        throw SystemFailure{errno};
}

std::string nameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void renameOrFail(const std::string& from, const std::string& to) {
    if (fileCalls().rename(from.c_str(), to.c_str()) != 0) throw SystemFailure{errno};
}

// Where a file of a pair is staged, and where its previous version is kept, both hidden beside
// it under fixed names, so that a later run can tell how far an interrupted commit got.
std::string stagedName(const std::string& target) {
    return folderOf(target) + "/." + nameOf(target) + ".new";
}
std::string keptName(const std::string& target) {
    return folderOf(target) + "/." + nameOf(target) + ".old";
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

void removeIfThere(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) throw SystemFailure{errno};
}

}  // namespace

void writeFileAtomically(const std::string& path,
                         std::initializer_list<std::span<const std::uint8_t>> parts) {
    try {
        const std::string target = finalTarget(path);
        const std::string folder = folderOf(target);
        TemporaryFile temp(folder);
        for (const auto& part : parts) temp.write(part);
        temp.finish();
        PreviousFile previous(target, temp.path());
        temp.renameTo(target);
        try {
            syncFolder(folder);
        } catch (const SystemFailure&) {
            previous.restore(target);
            throw;
        }
    } catch (const SystemFailure& failure) {
        throw Error(fileErrorText("Cannot create file", path, failure.err));
    }
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

void removeFile(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        throw Error(fileErrorText("Cannot delete file", path, errno));
}

}  // namespace vorkel

namespace vorkel {
namespace {

// The files a pair commit replaces, links followed: each may lie in a folder of its own (a
// store that is a link to another device), and each is staged and kept in its own folder.
struct PairTargets {
    std::string first;
    std::string second;
    std::string firstFolder;
    std::string secondFolder;
    bool firstExisted = false;
    bool secondExisted = false;
};

PairTargets pairTargets(const std::string& firstPath, const std::string& secondPath) {
    PairTargets t{finalTarget(firstPath), finalTarget(secondPath), {}, {}};
    t.firstFolder = folderOf(t.first);
    t.secondFolder = folderOf(t.second);
    t.firstExisted = exists(t.first);
    t.secondExisted = exists(t.second);
    return t;
}

// Makes the last step durable wherever it happened.
void syncPair(const PairTargets& t) {
    syncFolder(t.firstFolder);
    if (t.secondFolder != t.firstFolder) syncFolder(t.secondFolder);
}

// Undoes what a commit did, as far as it got: a file already renamed into place gets its kept
// previous version back, then staged and kept files go. Best effort: where a previous version
// cannot be put back (no hard links, a device gone) everything is left as it is, and the next
// save or logon settles it from the names on disk.
void undoCommit(const PairTargets& t, bool firstPlaced, bool secondPlaced) {
    // A file that did not exist before the commit is taken back by removing it.
    const auto putBack = [](const std::string& target, bool existed) {
        return existed ? ::rename(keptName(target).c_str(), target.c_str()) == 0
                       : ::unlink(target.c_str()) == 0;
    };
    bool undone = true;
    if (secondPlaced) undone = putBack(t.second, t.secondExisted);
    if (firstPlaced) undone = putBack(t.first, t.firstExisted) && undone;
    if (!undone) return;
    (void)::unlink(stagedName(t.first).c_str());
    (void)::unlink(stagedName(t.second).c_str());
    (void)::unlink(keptName(t.first).c_str());
    (void)::unlink(keptName(t.second).c_str());
}

}  // namespace

void writeFilePairAtomically(const std::string& firstPath, std::span<const FilePart> firstParts,
                             const std::string& secondPath, std::span<const FilePart> secondParts) {
    std::string failedPath = firstPath;
    try {
        const PairTargets t = pairTargets(firstPath, secondPath);
        // A commit left over from an interrupted run must be settled before a new one starts.
        if (filePairState(firstPath, secondPath) != FilePairState::Settled)
            throw SystemFailure{EBUSY};
        TemporaryFile firstTemp(t.firstFolder);
        for (const auto& part : firstParts) firstTemp.write(part);
        firstTemp.finish();
        failedPath = secondPath;
        TemporaryFile secondTemp(t.secondFolder);
        for (const auto& part : secondParts) secondTemp.write(part);
        secondTemp.finish();

        // Stale links from a commit killed after its renames would make link() fail.
        removeIfThere(keptName(t.first));
        removeIfThere(keptName(t.second));
        // The previous pair stays reachable until the new one is durable; where the file
        // system has no hard links there is nothing to keep, and recovery can only go forward.
        if (exists(t.first)) (void)fileCalls().link(t.first.c_str(), keptName(t.first).c_str());
        if (exists(t.second)) (void)fileCalls().link(t.second.c_str(), keptName(t.second).c_str());

        bool firstPlaced = false;
        bool secondPlaced = false;
        try {
            // Each step is made durable before the next, so that the set of names on disk
            // always tells how far the commit got.
            failedPath = firstPath;
            firstTemp.renameTo(stagedName(t.first));
            syncPair(t);
            failedPath = secondPath;
            secondTemp.renameTo(stagedName(t.second));
            syncPair(t);
            failedPath = firstPath;
            renameOrFail(stagedName(t.first), t.first);
            firstPlaced = true;
            syncPair(t);
            failedPath = secondPath;
            renameOrFail(stagedName(t.second), t.second);
            secondPlaced = true;
            syncPair(t);
        } catch (const SystemFailure&) {
            undoCommit(t, firstPlaced, secondPlaced);
            throw;
        }
        // Leftover links are harmless: the next commit or logon removes them.
        (void)::unlink(keptName(t.first).c_str());
        (void)::unlink(keptName(t.second).c_str());
    } catch (const SystemFailure& failure) {
        throw Error(fileErrorText("Cannot create file", failedPath, failure.err));
    }
}

FilePairState filePairState(const std::string& firstPath, const std::string& secondPath) {
    const std::string first = finalTarget(firstPath);
    const std::string second = finalTarget(secondPath);
    const bool firstStaged = exists(stagedName(first));
    const bool secondStaged = exists(stagedName(second));
    if (firstStaged && secondStaged) return FilePairState::BothStaged;
    if (secondStaged) return FilePairState::FirstPlaced;
    if (firstStaged) return FilePairState::FirstStaged;
    return FilePairState::Settled;
}

std::string stagedFilePath(const std::string& path) {
    return stagedName(finalTarget(path));
}

void settleFilePair(const std::string& firstPath, const std::string& secondPath, bool forward) {
    std::string failedPath = firstPath;
    try {
        const PairTargets t = pairTargets(firstPath, secondPath);
        switch (filePairState(firstPath, secondPath)) {
            case FilePairState::Settled:
                break;
            case FilePairState::FirstStaged:
                // The second file never reached its staged name: only going back is possible.
                removeIfThere(stagedName(t.first));
                break;
            case FilePairState::BothStaged:
                if (forward) {
                    renameOrFail(stagedName(t.first), t.first);
                    syncPair(t);
                    failedPath = secondPath;
                    renameOrFail(stagedName(t.second), t.second);
                } else {
                    removeIfThere(stagedName(t.second));
                    syncPair(t);
                    removeIfThere(stagedName(t.first));
                }
                break;
            case FilePairState::FirstPlaced:
                if (forward) {
                    failedPath = secondPath;
                    renameOrFail(stagedName(t.second), t.second);
                } else {
                    if (!exists(keptName(t.first))) throw SystemFailure{ENOENT};
                    renameOrFail(keptName(t.first), t.first);
                    syncPair(t);
                    failedPath = secondPath;
                    removeIfThere(stagedName(t.second));
                }
                break;
        }
        syncPair(t);
        removeIfThere(keptName(t.first));
        removeIfThere(keptName(t.second));
    } catch (const SystemFailure& failure) {
        throw Error(fileErrorText("Cannot create file", failedPath, failure.err));
    }
}

void removeStaleTemporaries(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        // mkostemp's names: ".vorkel-" and six characters, with "-old" for a kept previous file.
        const bool temporary = name.starts_with(".vorkel-") &&
                               (name.size() == 14 || (name.size() == 18 && name.ends_with("-old")));
        if (!temporary) continue;
        const std::string path = folder + "/" + std::string(name);
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) (void)::unlink(path.c_str());
    }
    ::closedir(dir);
}

}  // namespace vorkel
