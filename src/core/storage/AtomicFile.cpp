#include "storage/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "Error.h"
#include "storage/FileCalls.h"
#include "storage/FileHandle.h"

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
