#include "core/storage/FileHandle.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vorkel {

FileHandle::~FileHandle() {
    close();
}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        close();
        m_fd = other.release();
    }
    return *this;
}

int FileHandle::release() noexcept {
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

int FileHandle::close() noexcept {
    if (m_fd < 0) return 0;
    // Never retried on EINTR: on Linux the descriptor is gone either way.
    const int result = ::close(release());
    return result == 0 ? 0 : errno;
}

std::string fileErrorText(std::string_view what, const std::string& path, int err) {
    std::string text(what);
    text += " \"";
    text += path;
    text += "\". ";
    text += std::strerror(err);
    return text;
}

}  // namespace vorkel
