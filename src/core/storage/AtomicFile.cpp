#include "storage/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "Error.h"
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
        m_file = FileHandle(::mkostemp(m_path.data(), O_CLOEXEC));
        if (!m_file) throw SystemFailure{errno};
    }
    ~TemporaryFile() {
        m_file.close();
        if (!m_renamed) ::unlink(m_path.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    void write(std::span<const std::uint8_t> bytes) {
        const std::uint8_t* at = bytes.data();
        std::size_t left = bytes.size();
        while (left > 0) {
            const ssize_t written = ::write(m_file.get(), at, left);
            if (written < 0) {
                if (errno == EINTR) continue;
                throw SystemFailure{errno};
            }
            at += written;
            left -= static_cast<std::size_t>(written);
        }
    }

    void commitTo(const std::string& target) {
        if (::fsync(m_file.get()) != 0) throw SystemFailure{errno};
        if (const int err = m_file.close(); err != 0) throw SystemFailure{err};
        if (::rename(m_path.c_str(), target.c_str()) != 0) throw SystemFailure{errno};
        m_renamed = true;
    }

private:
    std::string m_path;
    FileHandle m_file;
    bool m_renamed = false;
};

void syncFolder(const std::string& folder) {
    FileHandle dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir) throw SystemFailure{errno};
    // Some file systems cannot sync a folder at all; the rename is then as durable as they get.
    if (::fsync(dir.get()) != 0 && errno != EINVAL && errno != ENOTSUP) throw SystemFailure{errno};
}

}  // namespace

void writeFileAtomically(const std::string& path,
                         std::initializer_list<std::span<const std::uint8_t>> parts) {
    try {
        const std::string target = finalTarget(path);
        const std::string folder = folderOf(target);
        {
            TemporaryFile temp(folder);
            for (const auto& part : parts) temp.write(part);
            temp.commitTo(target);
        }
        syncFolder(folder);
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
